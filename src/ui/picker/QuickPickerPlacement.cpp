#include "ui/picker/QuickPickerPlacement.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

QPoint QuickPickerPlacement::origin(QPoint pointer, QSize size, const QList<Screen>& screens) {
    const int w = size.width();
    const int h = size.height();
    int x = pointer.x() + offset;
    int y = pointer.y() + offset;

    const Screen* screen = nullptr;
    for (const Screen& s : screens) {
        if (s.frame.contains(pointer)) {
            screen = &s;
            break;
        }
    }
    if (!screen && !screens.isEmpty())
        screen = &screens.first();
    if (!screen)
        return {x, y};

    const QRect v = screen->visible;
    const int left = v.x();
    const int top = v.y();
    const int right = v.x() + v.width();
    const int bottom = v.y() + v.height();
    if (y + h > bottom - margin)
        y = pointer.y() - offset - h;
    x = std::max(left + margin, std::min(x, right - w - margin));
    y = std::max(top + margin, std::min(y, bottom - h - margin));
    return {x, y};
}

QPoint QuickPickerPlacement::originOnDesktop(QPoint pointer, QSize size) {
    QList<Screen> screens;
    const QList<QScreen*> all = QGuiApplication::screens();
    QScreen* primary = QGuiApplication::primaryScreen();
    if (primary)
        screens.append({primary->geometry(), primary->availableGeometry()});
    for (QScreen* s : all) {
        if (s != primary)
            screens.append({s->geometry(), s->availableGeometry()});
    }
    return origin(pointer, size, screens);
}
