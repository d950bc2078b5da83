#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

// Where the quick picker opens: just below and to the right of the pointer,
// flipped above it when it would run off the bottom, and kept 8 px inside the
// usable area of the pointer's screen. Pure arithmetic in Qt's top-left
// coordinates, so it can be checked without a display.
class QuickPickerPlacement {
public:
    struct Screen {
        QRect frame;   // the whole screen
        QRect visible; // without panels and docks
    };

    static constexpr int offset = 10;
    static constexpr int margin = 8;

    // `screens` in the platform's order, the primary one first.
    static QPoint origin(QPoint pointer, QSize size, const QList<Screen>& screens);
    // The same for the screens and pointer of the running application.
    static QPoint originOnDesktop(QPoint pointer, QSize size);
};
