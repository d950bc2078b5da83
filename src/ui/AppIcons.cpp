#include "ui/AppIcons.h"

#include "platform/freedesktop/DesktopEntryIndex.h"

#include <QDir>
#include <QFileInfo>

AppIcons::AppIcons(DesktopEntryIndex& entries)
    : m_entries(entries) {}

QIcon AppIcons::fromIconKey(const QString& key) {
    if (key.isEmpty())
        return {};
    if (QDir::isAbsolutePath(key))
        return QFileInfo(key).isFile() ? QIcon(key) : QIcon();
    // Older entries name the theme icon with its file's extension.
    QString name = key;
    for (const char* extension : {".png", ".svg", ".xpm"}) {
        if (name.endsWith(QLatin1String(extension))) {
            name.chop(4);
            break;
        }
    }
    return QIcon::fromTheme(name);
}

QIcon AppIcons::icon(const QString& appId) {
    if (appId.isEmpty())
        return {};
    if (const int generation = m_entries.generation(); generation != m_generation) {
        m_cache.clear();
        m_generation = generation;
    }
    auto found = m_cache.constFind(appId);
    if (found == m_cache.constEnd()) {
        const auto entry = m_entries.entry(appId);
        found = m_cache.insert(appId, entry ? fromIconKey(entry->icon) : QIcon::fromTheme(appId));
    }
    return *found;
}
