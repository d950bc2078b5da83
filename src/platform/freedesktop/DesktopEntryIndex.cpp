#include "platform/freedesktop/DesktopEntryIndex.h"

#include "platform/freedesktop/DesktopEntryFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QStringList defaultDataDirs() {
    // $XDG_DATA_HOME, then $XDG_DATA_DIRS (or their defaults).
    QStringList all = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    // Sessions started without them still see sandboxed applications.
    for (const QString& extra : {dataHome + QStringLiteral("/flatpak/exports/share"),
                                 QStringLiteral("/var/lib/flatpak/exports/share"),
                                 QStringLiteral("/var/lib/snapd/desktop")}) {
        if (!all.contains(extra))
            all.append(extra);
    }
    return all;
}

DesktopEntryIndex::Entry parseEntry(const QString& path) {
    const auto file = DesktopEntryFile::read(path);
    if (!file)
        return {};
    const QString group = QStringLiteral("Desktop Entry");
    return {file->localeString(group, QStringLiteral("Name")).value_or(QString()),
            file->string(group, QStringLiteral("StartupWMClass")).value_or(QString()),
            file->string(group, QStringLiteral("Icon")).value_or(QString())};
}
} // namespace

DesktopEntryIndex::DesktopEntryIndex(QStringList dataDirs) {
    if (dataDirs.isEmpty())
        dataDirs = defaultDataDirs();
    for (const QString& dir : dataDirs)
        m_applicationDirs.append(dir + QStringLiteral("/applications"));
    QObject::connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_watcher,
                     [this] { m_indexed = false; });
}

void DesktopEntryIndex::indexIfNeeded() {
    if (m_indexed)
        return;
    m_indexed = true;
    ++m_generation;
    m_entries.clear();
    m_byStartupClass.clear();
    for (const QString& dir : std::as_const(m_applicationDirs)) {
        if (!QFileInfo(dir).isDir())
            continue;
        if (!m_watcher.directories().contains(dir))
            m_watcher.addPath(dir);
        QDirIterator it(dir, {QStringLiteral("*.desktop")}, QDir::Files,
                        QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
        while (it.hasNext()) {
            const QString path = it.next();
            QString id = QDir(dir).relativeFilePath(path);
            id.chop(int(sizeof(".desktop") - 1));
            id.replace(QLatin1Char('/'), QLatin1Char('-'));
            if (m_entries.contains(id))
                continue;
            const Entry entry = parseEntry(path);
            m_entries.insert(id, entry);
            if (!entry.startupWMClass.isEmpty() && !m_byStartupClass.contains(entry.startupWMClass))
                m_byStartupClass.insert(entry.startupWMClass, id);
        }
    }
}

std::optional<DesktopEntryIndex::Entry> DesktopEntryIndex::entry(const QString& id) {
    indexIfNeeded();
    const auto found = m_entries.constFind(id);
    if (found == m_entries.constEnd())
        return std::nullopt;
    return *found;
}

QString DesktopEntryIndex::idForStartupClass(const QString& wmClass) {
    indexIfNeeded();
    return m_byStartupClass.value(wmClass);
}

int DesktopEntryIndex::generation() {
    indexIfNeeded();
    return m_generation;
}
