#include "ui/SettingsStyle.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPalette>
#include <QScreen>

namespace SettingsStyle {
QColor ink() {
    return QColor::fromRgbF(0.93f, 0.96f, 1.0f);
}
QColor textSecondary() {
    return QColor::fromRgbF(1, 1, 1, 0.75f);
}
QColor textDim() {
    return QColor::fromRgbF(1, 1, 1, 0.48f);
}
QColor hairline() {
    return QColor::fromRgbF(1, 1, 1, 0.16f);
}
QColor fill() {
    return QColor::fromRgbF(1, 1, 1, 0.10f);
}
QColor blue() {
    return QColor::fromRgbF(0.42f, 0.54f, 0.96f);
}
QColor violet() {
    return QColor::fromRgbF(0.655f, 0.545f, 0.98f);
}
QColor cyan() {
    return QColor::fromRgbF(0.66f, 0.91f, 1.0f);
}
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
