#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QRectF>
#include <QString>

class QPainter;
class QWidget;

// Fonts, symbols and pictures shared by the panel's views. Sizes are in
// device-independent pixels, which play the role of points here.
namespace PanelStyle {
// The UI font at a pixel size, which may be fractional (12.5), and weight.
QFont font(qreal pixelSize, QFont::Weight weight = QFont::Normal);
// A monospaced font at a pixel size.
QFont monoFont(qreal pixelSize);
// A bundled symbol ("photo", "pin.fill", …) tinted with one colour; a blank
// pixmap for an unknown name.
QPixmap symbol(const QString& name, const QColor& color, qreal pixelSize, qreal dpr = 1.0);
// Draws a symbol centred in `rect`.
void drawSymbol(QPainter& painter, const QRectF& rect, const QString& name, const QColor& color,
                qreal pixelSize);
// The keyboard focus ring: a 1-pixel cyan rounded outline just inside `rect`.
void drawFocusRing(QPainter& painter, const QRectF& rect);
// The background picture, loaded once; null when the resource is missing.
const QImage& sky();
// The thin, dark scroll bar of the panel's lists; it takes this many pixels.
constexpr int scrollBarWidth = 6;
void styleScrollBar(QWidget* scrollArea);
// A soft drop shadow under a rounded rectangle, approximated by layered fills.
void drawShadow(QPainter& painter, const QRectF& rect, qreal radius, qreal opacity, qreal blur,
                qreal dy);
} // namespace PanelStyle
