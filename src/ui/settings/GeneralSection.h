#pragma once

#include <QWidget>

class Prefs;
class SettingsSwitch;

// Launch at login, the menu bar badge and the capture sound.
class GeneralSection : public QWidget {
    Q_OBJECT
public:
    explicit GeneralSection(Prefs& prefs, QWidget* parent = nullptr);

    SettingsSwitch* launchAtLoginSwitch() const { return m_launchAtLogin; }
    SettingsSwitch* badgeSwitch() const { return m_badge; }
    SettingsSwitch* soundSwitch() const { return m_sound; }

private:
    void refresh();

    Prefs& m_prefs;
    SettingsSwitch* m_launchAtLogin;
    SettingsSwitch* m_badge;
    SettingsSwitch* m_sound;
};
