#include "ui/SettingsMenu.h"

#include "ui/SettingsStyle.h"

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
