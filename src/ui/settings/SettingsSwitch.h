#pragma once

#include <QAbstractButton>

// A small on/off switch tinted with the accent colour. clicked(bool) comes only from the
// user; setChecked() from a setting does not emit it.
class SettingsSwitch : public QAbstractButton {
    Q_OBJECT
public:
    explicit SettingsSwitch(QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
