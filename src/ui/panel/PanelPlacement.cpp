#include "ui/panel/PanelPlacement.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace {
constexpr int gap = 6;
constexpr int margin = 8;
} // namespace

QPoint panelOrigin(const std::optional<QRect>& trayAnchor, QPoint pointer, const QSize& panel,
                   const QList<ScreenFrames>& screens, std::optional<int> primary) {
    // Without a tray click there is no telling where the tray item is (the
    // last click may be long ago and on another screen): the user's attention
    // is at the pointer.
    const QRect anchor = trayAnchor.value_or(QRect(pointer, QSize(1, 1)));
    const int w = panel.width();
    const int h = panel.height();
    // Integer centre of [left, left + width): the same for even and odd widths.
    const int midX = anchor.x() + anchor.width() / 2;
    const int anchorBottom = anchor.y() + anchor.height();
    int x = midX - w / 2;
    int y = anchorBottom + gap;

    const ScreenFrames* screen = nullptr;
    for (const ScreenFrames& s : screens) {
        if (s.full.contains(anchor.topLeft())) {
            screen = &s;
            break;
        }
    }
    if (!screen && primary && *primary >= 0 && *primary < screens.size())
        screen = &screens.at(*primary);
    if (!screen)
        return {x, y};

    const QRect& v = screen->available;
    x = std::min(v.x() + v.width() - w - margin, x);
    x = std::max(v.x() + margin, x);
    y = std::min(v.y() + v.height() - margin - h, y);
    y = std::max(v.y(), y);
    return {x, y};
}

QPoint panelOriginOnScreens(const std::optional<QRect>& trayAnchor, const QSize& panel) {
    QList<ScreenFrames> frames;
    std::optional<int> primary;
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (QScreen* screen : screens) {
        if (screen == QGuiApplication::primaryScreen())
            primary = int(frames.size());
        frames << ScreenFrames{screen->geometry(), screen->availableGeometry()};
    }
    return panelOrigin(trayAnchor, QCursor::pos(), panel, frames, primary);
}
