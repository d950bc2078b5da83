#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

// The few symbols the settings window shows, drawn as vector paths so they stay sharp at
// every size and take any tint.
namespace SettingsSymbols {
// "gearshape.fill", "photo", "paperclip", "keyboard", "info.circle", "minus.circle".
QPixmap pixmap(const QString& name, int size, const QColor& color, qreal devicePixelRatio = 1);
QIcon icon(const QString& name, int size, const QColor& color);
} // namespace SettingsSymbols
