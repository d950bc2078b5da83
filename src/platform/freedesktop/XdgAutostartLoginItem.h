#pragma once

#include "platform/LoginItem.h"

#include <QString>
#include <QStringList>

// Launch at login through an XDG autostart entry: the user's
// $XDG_CONFIG_HOME/autostart/quillet.desktop, or a system entry of the same
// name in $XDG_CONFIG_DIRS/autostart that the user's file may hide.
class XdgAutostartLoginItem : public LoginItem {
public:
    // Empty arguments take the XDG folders of the environment and this program.
    explicit XdgAutostartLoginItem(QString configHome = {}, QStringList configDirs = {},
                                   QString executable = {});

    Status status() const override;
    bool registerItem() override;
    bool unregisterItem() override;
    // Rewrites the user's enabled entry when its Exec is not this program.
    void followExecutable() override;

    QString userEntryPath() const;

private:
    QString systemEntryPath() const;
    static bool entryEnabled(const QString& path);
    bool writeEntry(const QByteArray& entry) const;

    QString m_configHome;
    QStringList m_configDirs;
    QString m_executable;
};
