#include "ui/panel/SymbolButton.h"

#include "ui/panel/PanelStyle.h"

#include <QEvent>
#include <QPainter>

SymbolButton::SymbolButton(const QString& symbol, const QColor& color, qreal pixelSize,
                           QWidget* parent)
    : QToolButton(parent)
    , m_symbol(symbol)
    , m_color(color)
    , m_pixelSize(pixelSize) {
    setAutoRaise(true);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    const int side = qCeil(pixelSize) + 6;
    setFixedSize(side, side);
}

void SymbolButton::setSymbol(const QString& symbol, const QColor& color) {
    m_symbol = symbol;
    m_color = color;
    update();
}

void SymbolButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QColor c = m_color;
    if (isDown())
        c.setAlphaF(c.alphaF() * 0.6f);
    PanelStyle::drawSymbol(p, QRectF(rect()), m_symbol, c, m_pixelSize);
    if (hasFocus())
        PanelStyle::drawFocusRing(p, QRectF(rect()));
}

bool SymbolButton::event(QEvent* event) {
    // A symbol says nothing to a screen reader; the tooltip does.
    if (event->type() == QEvent::ToolTipChange)
        setAccessibleName(toolTip());
    return QToolButton::event(event);
}
