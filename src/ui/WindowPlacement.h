#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

// One screen as placement sees it: its whole area and the part not taken by
// panels and docks, in Qt's global top-left-origin coordinates.
struct ScreenArea {
    QRect full;
    QRect available;
};

// Where the panel and the quick picker open. Pure arithmetic on a list of
// screens, the primary one first, so every case can be checked without a
// display. A window is placed on the screen that holds its anchor point,
// else on the primary screen, and kept `margin` px inside its available area.
namespace WindowPlacement {
inline constexpr int margin = 8;
// Below the tray item, between them.
inline constexpr int panelGap = 6;
// From the pointer to the picker's corner.
inline constexpr int pickerOffset = 10;

// The panel hangs centred below the tray item (`trayAnchor`), or below the
// pointer when no tray click tells where the item is. Never above the top of
// the available area, so never under a desktop bar; when the screen is too
// narrow the left margin wins, when it is too short the top does.
QPoint panelOrigin(const std::optional<QRect>& trayAnchor, QPoint pointer, QSize size,
                   const QList<ScreenArea>& screens);

// The picker opens just below and to the right of the pointer, flipped above
// it when it would run off the bottom.
QPoint pickerOrigin(QPoint pointer, QSize size, const QList<ScreenArea>& screens);

// The screens of the running application, the primary one first.
QList<ScreenArea> desktopScreens();
} // namespace WindowPlacement
