#include "platform/freedesktop/XdgAutostartLoginItem.h"

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
        const QString env = qEnvironmentVariable("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
        m_configDirs = env.split(u':', Qt::SkipEmptyParts);
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
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    bool inEntry = false;
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (line.startsWith(u'[')) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inEntry)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed().toLower();
        if (key == QLatin1String("Hidden") && value == QLatin1String("true"))
            return false;
        if (key == QLatin1String("X-GNOME-Autostart-enabled") && value == QLatin1String("false"))
            return false;
    }
    return true;
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

bool XdgAutostartLoginItem::registerItem() {
    const QString path = userEntryPath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    const QByteArray entry = QStringLiteral("[Desktop Entry]\n"
                                            "Type=Application\n"
                                            "Name=Quillet\n"
                                            "Comment=Clipboard history and screenshots\n"
                                            "Exec=%1\n"
                                            "Icon=quillet\n"
                                            "Terminal=false\n"
                                            "X-GNOME-Autostart-enabled=true\n")
                                 .arg(quoteExec(m_executable))
                                 .toUtf8();
    if (f.write(entry) != entry.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

bool XdgAutostartLoginItem::unregisterItem() {
    const QString path = userEntryPath();
    if (!systemEntryPath().isEmpty()) {
        // A system-wide entry can only be hidden by a user entry of the same name.
        if (!QDir().mkpath(QFileInfo(path).absolutePath()))
            return false;
        QSaveFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return false;
        const QByteArray entry("[Desktop Entry]\nType=Application\nName=Quillet\nHidden=true\n");
        if (f.write(entry) != entry.size()) {
            f.cancelWriting();
            return false;
        }
        return f.commit();
    }
    if (!QFileInfo::exists(path))
        return true;
    return QFile::remove(path);
}
