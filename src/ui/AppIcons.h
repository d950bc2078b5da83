#pragma once

#include <QHash>
#include <QIcon>
#include <QString>

class DesktopEntryIndex;

// Application icons by application id, found as the desktop's own menus find
// them: the Icon key of the application's desktop entry, an absolute file or
// an icon theme name (org.kde.konsole's is utilities-terminal). Without an
// entry, a theme icon named like the id. Looked up once per id, and again
// after the entries change.
class AppIcons {
public:
    explicit AppIcons(DesktopEntryIndex& entries);

    QIcon icon(const QString& appId);
    // What one Icon key names; a null icon when nothing is found.
    static QIcon fromIconKey(const QString& key);

private:
    DesktopEntryIndex& m_entries;
    int m_generation = -1;
    QHash<QString, QIcon> m_cache;
};
