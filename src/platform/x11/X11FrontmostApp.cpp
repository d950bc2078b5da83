#include "platform/x11/X11FrontmostApp.h"

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

} // namespace

X11FrontmostApp::X11FrontmostApp(QStringList dataDirs)
    : m_entries(std::move(dataDirs)) {}

X11FrontmostApp::~X11FrontmostApp() = default;

FrontApp X11FrontmostApp::resolve(const QString& gtkId, const QString& kdeDesktopFile,
                                  const QString& wmInstance, const QString& wmClass) {
    QString id = gtkId;
    if (id.isEmpty()) {
        id = kdeDesktopFile;
        if (id.endsWith(QLatin1String(".desktop")))
            id.chop(8);
    }
    if (id.isEmpty() && !wmClass.isEmpty())
        id = m_entries.idForStartupClass(wmClass);
    if (id.isEmpty() && !wmInstance.isEmpty())
        id = m_entries.idForStartupClass(wmInstance);
    if (id.isEmpty() && !wmClass.isEmpty() && m_entries.entry(wmClass.toLower()))
        id = wmClass.toLower();
    if (id.isEmpty())
        id = wmClass;

    FrontApp app;
    if (!id.isEmpty())
        app.id = id;
    const auto entry = m_entries.entry(id);
    if (entry && !entry->name.isEmpty())
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
