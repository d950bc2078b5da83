#include "platform/freedesktop/XdgAutostartLoginItem.h"

#include "platform/PlatformLog.h"
#include "platform/freedesktop/DesktopEntryFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {
const QString kEntryName = QStringLiteral("quillet.desktop");

// Quotes an Exec argument as the desktop entry specification asks.
QString quoteExec(const QString& arg) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needs = false;
    for (QChar c : arg)
        needs = needs || reserved.contains(c);
    if (!needs)
        return arg;
    QString out = QStringLiteral("\"");
    for (QChar c : arg) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            out += u'\\';
        out += c;
    }
    out += u'"';
    // In a desktop file a backslash itself must be escaped once more.
    out.replace(QStringLiteral("\\"), QStringLiteral("\\\\"));
    return out;
}
} // namespace

XdgAutostartLoginItem::XdgAutostartLoginItem(QString configHome, QStringList configDirs,
                                             QString executable)
    : m_configHome(std::move(configHome))
    , m_configDirs(std::move(configDirs))
    , m_executable(std::move(executable)) {
    if (m_configHome.isEmpty())
        m_configHome = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (m_configDirs.isEmpty()) {
        // $XDG_CONFIG_DIRS (or /etc/xdg): the locations after the user's own.
        m_configDirs = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
        m_configDirs.removeAll(
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    }
    if (m_executable.isEmpty())
        m_executable = QCoreApplication::applicationFilePath();
}

QString XdgAutostartLoginItem::userEntryPath() const {
    return m_configHome + QStringLiteral("/autostart/") + kEntryName;
}

QString XdgAutostartLoginItem::systemEntryPath() const {
    for (const QString& dir : m_configDirs) {
        const QString p = dir + QStringLiteral("/autostart/") + kEntryName;
        if (QFileInfo(p).isFile())
            return p;
    }
    return {};
}

bool XdgAutostartLoginItem::entryEnabled(const QString& path) {
    const auto file = DesktopEntryFile::read(path);
    if (!file) {
        qCWarning(platformLog) << "cannot read the autostart entry" << path;
        return false;
    }
    const QString group = QStringLiteral("Desktop Entry");
    return !file->boolean(group, QStringLiteral("Hidden")).value_or(false) &&
           file->boolean(group, QStringLiteral("X-GNOME-Autostart-enabled")).value_or(true);
}

LoginItem::Status XdgAutostartLoginItem::status() const {
    const QString user = userEntryPath();
    if (QFileInfo::exists(user))
        return entryEnabled(user) ? Status::Enabled : Status::NotRegistered;
    const QString system = systemEntryPath();
    if (!system.isEmpty() && entryEnabled(system))
        return Status::Enabled;
    return Status::NotRegistered;
}

bool XdgAutostartLoginItem::writeEntry(const QByteArray& entry) const {
    const QString path = userEntryPath();
    QSaveFile f(path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !f.open(QIODevice::WriteOnly) ||
        f.write(entry) != entry.size()) {
        qCWarning(platformLog) << "cannot write the autostart entry" << path << f.errorString();
        f.cancelWriting();
        return false;
    }
    if (!f.commit()) {
        qCWarning(platformLog) << "cannot write the autostart entry" << path << f.errorString();
        return false;
    }
    return true;
}

bool XdgAutostartLoginItem::registerItem() {
    return writeEntry(QStringLiteral("[Desktop Entry]\n"
                                     "Type=Application\n"
                                     "Name=Quillet\n"
                                     "Comment=Clipboard history and screenshots\n"
                                     "Exec=%1\n"
                                     "Icon=com.ovo.quillet\n"
                                     "Terminal=false\n"
                                     "X-GNOME-Autostart-enabled=true\n")
                          .arg(quoteExec(m_executable))
                          .toUtf8());
}

void XdgAutostartLoginItem::followExecutable() {
    const QString path = userEntryPath();
    if (!QFileInfo::exists(path) || !entryEnabled(path))
        return;
    const auto file = DesktopEntryFile::read(path);
    const QString exec = QStringLiteral("Exec");
    // (An Exec with escapes the reader undoes is rewritten each start: harmless.)
    if (!file || file->string(QStringLiteral("Desktop Entry"), exec) == quoteExec(m_executable))
        return;
    qCInfo(platformLog) << "the autostart entry names another program; pointing it at"
                        << m_executable;
    registerItem();
}

bool XdgAutostartLoginItem::unregisterItem() {
    const QString path = userEntryPath();
    // A system-wide entry can only be hidden by a user entry of the same name.
    if (!systemEntryPath().isEmpty())
        return writeEntry("[Desktop Entry]\nType=Application\nName=Quillet\nHidden=true\n");
    if (!QFileInfo::exists(path))
        return true;
    QFile f(path);
    if (!f.remove()) {
        qCWarning(platformLog) << "cannot remove the autostart entry" << path << f.errorString();
        return false;
    }
    return true;
}
