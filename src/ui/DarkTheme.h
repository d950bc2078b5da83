#pragma once

#include <QColor>
#include <QPalette>

class QWidget;

// Quillet's windows draw dark whatever the desktop's theme. The widgets Qt
// draws itself inside them (fields, buttons, menus, message boxes) follow
// the palette only under the Fusion style, so both go together.
namespace DarkTheme {
QPalette palette(const QColor& window);
// Gives a window, dialog or menu the dark palette over the given background.
void apply(QWidget* widget, const QColor& window);
// The background of the menus and dialogs that open over the panel.
QColor panelPopupBackground();
} // namespace DarkTheme
