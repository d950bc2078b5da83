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
// below the tray item (`trayAnchor`), or below the pointer when no tray
// click tells where the item is. It is kept inside the available area of the
// screen that holds the anchor's origin (else the primary screen): 8 points
// from the sides and the bottom, and never above the top, so never under a
// desktop bar. When the screen is too narrow the left margin wins, when it
// is too short the top does.
QPoint panelOrigin(const std::optional<QRect>& trayAnchor, QPoint pointer, const QSize& panel,
                   const QList<ScreenFrames>& screens, std::optional<int> primary);

// The same for the screens and the pointer Qt knows.
QPoint panelOriginOnScreens(const std::optional<QRect>& trayAnchor, const QSize& panel);
