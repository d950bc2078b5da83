#include "ui/settings/SettingsMenu.h"

#include "ui/Palette.h"
#include "ui/settings/SettingsStyle.h"

#include <QPainter>
#include <QPainterPath>
#include <QSignalBlocker>

SettingsMenu::SettingsMenu(const Entries& entries, std::function<void(qint64)> setter,
                           QWidget* parent)
    : QComboBox(parent)
    , m_setter(std::move(setter)) {
    for (const auto& [label, value] : entries)
        addItem(label, value);
    setFixedWidth(140);
    setFont(SettingsStyle::font(12));
    setFocusPolicy(Qt::TabFocus);
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (index >= 0 && m_setter)
            m_setter(itemData(index).toLongLong());
    });
}

void SettingsMenu::setValue(qint64 value) {
    const QSignalBlocker blocker(this);
    setCurrentIndex(findData(value));
}

void SettingsMenu::paintEvent(QPaintEvent* event) {
    QComboBox::paintEvent(event);
    // The styled frame has no arrow of its own: draw the up-and-down chevrons of a pop-up.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Palette::textSecondary(), 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const qreal x = width() - 13;
    const qreal y = height() / 2.0;
    QPainterPath chevrons;
    chevrons.moveTo(x - 3, y - 1.5);
    chevrons.lineTo(x, y - 4.5);
    chevrons.lineTo(x + 3, y - 1.5);
    chevrons.moveTo(x - 3, y + 1.5);
    chevrons.lineTo(x, y + 4.5);
    chevrons.lineTo(x + 3, y + 1.5);
    p.drawPath(chevrons);
}
