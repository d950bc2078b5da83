#include "ui/settings/SettingsStyle.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPalette>
#include <QScreen>

namespace SettingsStyle {
QColor windowBackground() {
    return QColor(0x1c, 0x1d, 0x22);
}

QFont font(qreal points, QFont::Weight weight, qreal letterSpacing) {
    QFont f = QGuiApplication::font();
    // Layout points are device-independent pixels; Qt's point sizes follow the screen's DPI.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    f.setPointSizeF(points * 72.0 / dpi);
    f.setWeight(weight);
    if (letterSpacing != 0)
        f.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing);
    return f;
}

void style(QLabel* label, qreal points, QFont::Weight weight, const QColor& color) {
    label->setFont(font(points, weight));
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, color);
    p.setColor(QPalette::Text, color);
    label->setPalette(p);
}
} // namespace SettingsStyle
