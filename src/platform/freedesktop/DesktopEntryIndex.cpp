#include "platform/freedesktop/DesktopEntryIndex.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace {
QStringList defaultDataDirs() {
    const QString home = QDir::homePath();
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty())
        dataHome = home + QStringLiteral("/.local/share");
    QString dirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dirs.isEmpty())
        dirs = QStringLiteral("/usr/local/share:/usr/share");
    QStringList all{dataHome};
    all += dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    // Sessions started without them still see sandboxed applications.
    for (const QString& extra : {dataHome + QStringLiteral("/flatpak/exports/share"),
                                 QStringLiteral("/var/lib/flatpak/exports/share"),
                                 QStringLiteral("/var/lib/snapd/desktop")}) {
        if (!all.contains(extra))
            all.append(extra);
    }
    return all;
}

// The keys of the [Desktop Entry] group that are needed; nothing else.
DesktopEntryIndex::Entry parseEntry(const QString& path) {
    DesktopEntryIndex::Entry entry;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() > 1024 * 1024)
        return entry;
    bool inGroup = false;
    while (!f.atEnd()) {
        const QByteArray line = f.readLine().trimmed();
        if (line.startsWith('[')) {
            inGroup = line == "[Desktop Entry]";
            continue;
        }
        if (!inGroup)
            continue;
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0)
            continue;
        const QByteArray key = line.left(eq).trimmed();
        const QString value = QString::fromUtf8(line.mid(eq + 1).trimmed());
        if (key == "Name")
            entry.name = value;
        else if (key == "StartupWMClass")
            entry.startupWMClass = value;
        else if (key == "Icon")
            entry.icon = value;
    }
    return entry;
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
