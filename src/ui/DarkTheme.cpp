#include "ui/DarkTheme.h"

#include "ui/Palette.h"

#include <QStyle>
#include <QStyleFactory>
#include <QWidget>

namespace DarkTheme {
QPalette palette(const QColor& window) {
    QPalette p;
    const QColor base = window.lighter(150);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, Palette::ink());
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, base.lighter(110));
    p.setColor(QPalette::Text, Palette::ink());
    p.setColor(QPalette::PlaceholderText, Palette::textDim());
    p.setColor(QPalette::Button, window.lighter(200));
    p.setColor(QPalette::ButtonText, Palette::ink());
    p.setColor(QPalette::Highlight, Palette::blue());
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, Palette::cyan());
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, Palette::ink());
    p.setColor(QPalette::Light, window.lighter(300));
    p.setColor(QPalette::Midlight, window.lighter(250));
    p.setColor(QPalette::Mid, window.lighter(170));
    p.setColor(QPalette::Dark, window.darker(120));
    p.setColor(QPalette::Shadow, Qt::black);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, Palette::textDim());
    return p;
}

void apply(QWidget* widget, const QColor& window) {
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) {
        fusion->setParent(widget);
        widget->setStyle(fusion);
    }
    widget->setPalette(palette(window));
}

QColor panelPopupBackground() {
    return QColor(0x1e, 0x24, 0x3c);
}
} // namespace DarkTheme
