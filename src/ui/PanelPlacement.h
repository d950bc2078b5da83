#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

// One screen as placement sees it: its whole area and the part not taken by
// panels and docks, in global top-left-origin coordinates.
struct ScreenFrames {
    QRect full;
    QRect available;
};

// Where the panel's top-left corner goes so that it hangs centred 6 points
// below `anchor`, kept 8 points inside the available area of the screen that
// holds the anchor's origin (else the primary screen). Horizontally the left
// margin wins when the screen is too narrow; vertically only the bottom is
// kept clear, so on a short screen the top may reach over the anchor.
QPoint panelOrigin(const QRect& anchor, const QSize& panel, const QList<ScreenFrames>& screens,
                   std::optional<int> primary);

// The same for the screens Qt knows.
QPoint panelOriginOnScreens(const QRect& anchor, const QSize& panel);
