#pragma once

#include "ui/settings/SettingsSection.h"

#include <QWidget>

class QButtonGroup;

// The row of section buttons on a dark capsule; the selected one sits on a blue-to-violet
// gradient.
class SettingsTabBar : public QWidget {
    Q_OBJECT
public:
    explicit SettingsTabBar(QWidget* parent = nullptr);

    SettingsSection section() const { return m_section; }
    void setSection(SettingsSection section);
    // Gives the keyboard to the selected section's button.
    void focusSection();

Q_SIGNALS:
    void sectionClicked(SettingsSection section);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QButtonGroup* m_group;
    SettingsSection m_section = SettingsSection::General;
};
