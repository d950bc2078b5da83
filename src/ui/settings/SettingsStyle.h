#pragma once

#include <QColor>
#include <QFont>

class QLabel;
class QWidget;

// Type and background of the settings window; its colours are the shared Palette.
namespace SettingsStyle {
QColor windowBackground();

// A font of the given size in layout points (one point is one device-independent pixel).
QFont font(qreal points, QFont::Weight weight = QFont::Normal, qreal letterSpacing = 0);

// Sets font and text colour of a label.
void style(QLabel* label, qreal points, QFont::Weight weight, const QColor& color);
} // namespace SettingsStyle
