#include "platform/x11/X11FrontmostApp.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {
struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

xcb_connection_t* connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

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

// Name and StartupWMClass of the [Desktop Entry] group; nothing else is needed.
void parseEntry(const QString& path, QString& name, QString& startupClass) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() > 1024 * 1024)
        return;
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
            name = value;
        else if (key == "StartupWMClass")
            startupClass = value;
    }
}
} // namespace

X11FrontmostApp::X11FrontmostApp(QStringList dataDirs) {
    if (dataDirs.isEmpty())
        dataDirs = defaultDataDirs();
    for (const QString& dir : dataDirs)
        m_applicationDirs.append(dir + QStringLiteral("/applications"));
    QObject::connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_watcher,
                     [this] { m_indexed = false; });
}

X11FrontmostApp::~X11FrontmostApp() = default;

void X11FrontmostApp::indexIfNeeded() {
    if (m_indexed)
        return;
    m_indexed = true;
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
            // The id of applications/vendor/app.desktop is vendor-app.
            QString id = QDir(dir).relativeFilePath(path);
            id.chop(int(sizeof(".desktop") - 1));
            id.replace(QLatin1Char('/'), QLatin1Char('-'));
            // Earlier folders take precedence.
            if (m_entries.contains(id))
                continue;
            Entry entry;
            parseEntry(path, entry.name, entry.startupWMClass);
            m_entries.insert(id, entry);
            if (!entry.startupWMClass.isEmpty() && !m_byStartupClass.contains(entry.startupWMClass))
                m_byStartupClass.insert(entry.startupWMClass, id);
        }
    }
}

FrontApp X11FrontmostApp::resolve(const QString& gtkId, const QString& kdeDesktopFile,
                                  const QString& wmInstance, const QString& wmClass) {
    indexIfNeeded();
    QString id = gtkId;
    if (id.isEmpty()) {
        id = kdeDesktopFile;
        if (id.endsWith(QLatin1String(".desktop")))
            id.chop(8);
    }
    if (id.isEmpty() && !wmClass.isEmpty())
        id = m_byStartupClass.value(wmClass);
    if (id.isEmpty() && !wmInstance.isEmpty())
        id = m_byStartupClass.value(wmInstance);
    if (id.isEmpty() && m_entries.contains(wmClass.toLower()))
        id = wmClass.toLower();
    if (id.isEmpty())
        id = wmClass;

    FrontApp app;
    if (!id.isEmpty())
        app.id = id;
    const auto entry = m_entries.constFind(id);
    if (entry != m_entries.constEnd() && !entry->name.isEmpty())
        app.name = entry->name;
    else if (!wmClass.isEmpty())
        app.name = wmClass;
    return app;
}

uint32_t X11FrontmostApp::atom(const char* name) {
    if (const auto found = m_atoms.constFind(name); found != m_atoms.constEnd())
        return *found;
    xcb_connection_t* c = connection();
    std::unique_ptr<xcb_intern_atom_reply_t, FreeDeleter> reply(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, false, uint16_t(qstrlen(name)), name), nullptr));
    const uint32_t a = reply ? reply->atom : uint32_t(XCB_ATOM_NONE);
    m_atoms.insert(name, a);
    return a;
}

QByteArray X11FrontmostApp::property(uint32_t window, uint32_t atom, uint32_t type) {
    xcb_connection_t* c = connection();
    std::unique_ptr<xcb_get_property_reply_t, FreeDeleter> reply(xcb_get_property_reply(
        c, xcb_get_property(c, false, window, atom, type, 0, 1024), nullptr));
    if (!reply || reply->type == XCB_ATOM_NONE)
        return {};
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}

std::optional<FrontApp> X11FrontmostApp::frontmost() {
    xcb_connection_t* c = connection();
    if (!c)
        return std::nullopt;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const QByteArray active = property(root, atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW);
    if (active.size() < int(sizeof(xcb_window_t)))
        return std::nullopt;
    xcb_window_t window = 0;
    std::memcpy(&window, active.constData(), sizeof window);
    if (window == XCB_WINDOW_NONE)
        return std::nullopt;

    const uint32_t utf8 = atom("UTF8_STRING");
    const QString gtkId = QString::fromUtf8(property(window, atom("_GTK_APPLICATION_ID"), utf8));
    const QString kdeFile =
        QString::fromUtf8(property(window, atom("_KDE_NET_WM_DESKTOP_FILE"), utf8));
    // WM_CLASS is "instance\0class\0".
    const QList<QByteArray> wmClass =
        property(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING).split('\0');
    const QString instance = QString::fromLocal8Bit(wmClass.value(0));
    const QString cls = QString::fromLocal8Bit(wmClass.value(1));
    // A window that says nothing about itself (or is already gone) names no application.
    if (gtkId.isEmpty() && kdeFile.isEmpty() && instance.isEmpty() && cls.isEmpty())
        return std::nullopt;
    return resolve(gtkId, kdeFile, instance, cls);
}
