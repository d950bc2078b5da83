#pragma once

#include <QColor>
#include <QFont>

class QLabel;
class QWidget;

// The colours and type of the settings window. The panel and the picker share these
// colours; until they have a common home this is the one place the window takes them from.
namespace SettingsStyle {
QColor ink();           // primary text
QColor textSecondary(); // secondary text
QColor textDim();       // dim text, icons, headers
QColor hairline();      // dividers and 1-point borders
QColor fill();          // hover and tile backgrounds
QColor blue();          // accent
QColor violet();        // accent
QColor cyan();          // links
QColor windowBackground();

// A font of the given size in layout points (one point is one device-independent pixel).
QFont font(qreal points, QFont::Weight weight = QFont::Normal, qreal letterSpacing = 0);

// Sets font and text colour of a label.
void style(QLabel* label, qreal points, QFont::Weight weight, const QColor& color);
} // namespace SettingsStyle
