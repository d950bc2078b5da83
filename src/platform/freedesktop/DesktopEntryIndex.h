#pragma once

#include <QFileSystemWatcher>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// The applications' desktop entries under $XDG_DATA_HOME and $XDG_DATA_DIRS
// (plus the Flatpak and snap exports), by desktop-file id: applications/
// vendor/app.desktop has the id vendor-app, and an earlier folder hides a
// later one's entry of the same id. Read on first use and again after a
// change of those folders. Main thread only.
class DesktopEntryIndex {
public:
    struct Entry {
        QString name; // in the language of the messages where the entry has it
        QString startupWMClass;
        QString icon; // the Icon key: an absolute file or an icon theme name
    };

    // Empty dataDirs: $XDG_DATA_HOME, $XDG_DATA_DIRS and the Flatpak and snap exports.
    explicit DesktopEntryIndex(QStringList dataDirs = {});

    std::optional<Entry> entry(const QString& id);
    // The id of the first entry whose StartupWMClass is `wmClass`; empty if none.
    QString idForStartupClass(const QString& wmClass);
    // Goes up each time the entries are read again, so callers can drop what
    // they derived from the old ones.
    int generation();

private:
    void indexIfNeeded();

    QStringList m_applicationDirs;
    QFileSystemWatcher m_watcher;
    bool m_indexed = false;
    int m_generation = 0;
    QHash<QString, Entry> m_entries;          // desktop-file id → entry
    QHash<QString, QString> m_byStartupClass; // StartupWMClass → desktop-file id
};
