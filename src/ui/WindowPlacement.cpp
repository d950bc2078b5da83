#include "ui/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace WindowPlacement {
namespace {
const ScreenArea* screenAt(QPoint point, const QList<ScreenArea>& screens) {
    for (const ScreenArea& screen : screens) {
        if (screen.full.contains(point))
            return &screen;
    }
    return screens.isEmpty() ? nullptr : &screens.first();
}

// Inside [low + margin, high - length - margin]; the low side wins when the
// window does not fit.
int clampInside(int value, int length, int low, int high) {
    return std::max(low + margin, std::min(value, high - length - margin));
}
} // namespace

QPoint panelOrigin(const std::optional<QRect>& trayAnchor, QPoint pointer, QSize size,
                   const QList<ScreenArea>& screens) {
    // Without a tray click there is no telling where the tray item is (the
    // last click may be long ago and on another screen): the user's attention
    // is at the pointer.
    const QRect anchor = trayAnchor.value_or(QRect(pointer, QSize(1, 1)));
    // Integer centre of [left, left + width): the same for even and odd widths.
    int x = anchor.x() + anchor.width() / 2 - size.width() / 2;
    int y = anchor.y() + anchor.height() + panelGap;
    const ScreenArea* screen = screenAt(anchor.topLeft(), screens);
    if (!screen)
        return {x, y};
    const QRect& v = screen->available;
    x = clampInside(x, size.width(), v.x(), v.x() + v.width());
    y = std::max(v.y(), std::min(y, v.y() + v.height() - margin - size.height()));
    return {x, y};
}

QPoint pickerOrigin(QPoint pointer, QSize size, const QList<ScreenArea>& screens) {
    int x = pointer.x() + pickerOffset;
    int y = pointer.y() + pickerOffset;
    const ScreenArea* screen = screenAt(pointer, screens);
    if (!screen)
        return {x, y};
    const QRect& v = screen->available;
    const int bottom = v.y() + v.height();
    if (y + size.height() > bottom - margin)
        y = pointer.y() - pickerOffset - size.height();
    x = clampInside(x, size.width(), v.x(), v.x() + v.width());
    y = clampInside(y, size.height(), v.y(), bottom);
    return {x, y};
}

QList<ScreenArea> desktopScreens() {
    QList<ScreenArea> areas;
    QScreen* primary = QGuiApplication::primaryScreen();
    if (primary)
        areas.append({primary->geometry(), primary->availableGeometry()});
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (QScreen* screen : screens) {
        if (screen != primary)
            areas.append({screen->geometry(), screen->availableGeometry()});
    }
    return areas;
}

} // namespace WindowPlacement
