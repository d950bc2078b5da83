#include "ui/panel/PanelCard.h"

#include "ui/Palette.h"
#include "ui/panel/PanelStyle.h"
#include "ui/panel/ToastOverlay.h"

#include <QPainter>

PanelCard::PanelCard(QWidget* content, Toast& toast, QWidget* parent)
    : QWidget(parent)
    , m_content(content)
    , m_overlay(new ToastOverlay(toast, this)) {
    m_content->setParent(this);
    m_overlay->raise();
}

void PanelCard::resizeEvent(QResizeEvent*) {
    m_content->setGeometry(rect());
    m_overlay->setGeometry(rect());
    m_overlay->raise();
}

void PanelCard::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect());
    PanelStyle::drawShadow(p, r, 14, 0.28, 8, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgbF(0.03f, 0.07f, 0.16f, 0.52f));
    p.drawRoundedRect(r, 14, 14);
    p.setPen(QPen(Palette::hairline(), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 13.5, 13.5);
}
