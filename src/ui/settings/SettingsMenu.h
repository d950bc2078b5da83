#pragma once

#include <QComboBox>
#include <QList>
#include <QPair>
#include <QString>

#include <functional>

// A 140-wide pop-up menu of labelled integer values, bound to one setting: choosing an
// entry hands its value to the setter; setValue() shows a stored value (none selected
// when the store holds a value the menu does not offer).
class SettingsMenu : public QComboBox {
    Q_OBJECT
public:
    using Entries = QList<QPair<QString, qint64>>;

    SettingsMenu(const Entries& entries, std::function<void(qint64)> setter,
                 QWidget* parent = nullptr);
    void setValue(qint64 value);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::function<void(qint64)> m_setter;
};
