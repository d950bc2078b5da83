#include "ui/settings/GeneralSection.h"

#include "settings/Prefs.h"
#include "ui/settings/SettingsRow.h"
#include "ui/settings/SettingsSwitch.h"

#include <QSignalBlocker>
#include <QVBoxLayout>

GeneralSection::GeneralSection(Prefs& prefs, QWidget* parent)
    : QWidget(parent)
    , m_prefs(prefs)
    , m_launchAtLogin(new SettingsSwitch)
    , m_badge(new SettingsSwitch)
    , m_sound(new SettingsSwitch) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    SettingsRow::addRows(
        layout,
        {new SettingsRow(tr("Launch at login"), {}, m_launchAtLogin),
         new SettingsRow(tr("Tray badge"),
                         tr("Show the new-screenshot count next to the paperclip."), m_badge),
         new SettingsRow(tr("Play sound on capture"),
                         tr("Not under GNOME Shell, which plays its own."), m_sound)});
    layout->addStretch();

    // The login item may refuse; Prefs then reports the real state and the switch follows.
    connect(m_launchAtLogin, &SettingsSwitch::clicked, &m_prefs, &Prefs::setLaunchAtLogin);
    connect(m_badge, &SettingsSwitch::clicked, &m_prefs, &Prefs::setShowBadge);
    connect(m_sound, &SettingsSwitch::clicked, &m_prefs, &Prefs::setPlaySound);
    connect(&m_prefs, &Prefs::launchAtLoginChanged, this, &GeneralSection::refresh);
    connect(&m_prefs, &Prefs::showBadgeChanged, this, &GeneralSection::refresh);
    connect(&m_prefs, &Prefs::playSoundChanged, this, &GeneralSection::refresh);
    refresh();
}

void GeneralSection::refresh() {
    m_launchAtLogin->setChecked(m_prefs.launchAtLogin());
    m_badge->setChecked(m_prefs.showBadge());
    m_sound->setChecked(m_prefs.playSound());
}
