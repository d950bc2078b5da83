#include "ui/panel/EmptyState.h"

#include "ui/Palette.h"
#include "ui/panel/PanelStyle.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {
QLabel* label(const QFont& font, const QColor& color) {
    auto* l = new QLabel;
    l->setFont(font);
    l->setAlignment(Qt::AlignCenter);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, color);
    l->setPalette(pal);
    return l;
}
} // namespace

EmptyState::EmptyState(const QString& symbol, qreal symbolSize, QWidget* parent)
    : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(9);
    layout->addStretch();
    auto* icon = new QLabel;
    icon->setAlignment(Qt::AlignCenter);
    icon->setPixmap(
        PanelStyle::symbol(symbol, Palette::textDim(), symbolSize, devicePixelRatioF()));
    layout->addWidget(icon);
    m_title = label(PanelStyle::font(14, QFont::DemiBold), Palette::ink());
    layout->addWidget(m_title);
    m_subtitle = label(PanelStyle::font(11.5), Palette::textSecondary());
    layout->addWidget(m_subtitle);
    layout->addStretch();
}

void EmptyState::setTexts(const QString& title, const QString& subtitle) {
    m_title->setText(title);
    m_subtitle->setText(subtitle);
    m_subtitle->setVisible(!subtitle.isEmpty());
}

QString EmptyState::title() const {
    return m_title->text();
}

QString EmptyState::subtitle() const {
    return m_subtitle->isHidden() ? QString() : m_subtitle->text();
}
