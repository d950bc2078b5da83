#include "platform/x11/X11FrontmostApp.h"

#include "platform/x11/XcbReply.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstring>

namespace {

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

QByteArray X11FrontmostApp::property(uint32_t window, uint32_t atom, uint32_t type) {
    xcb_connection_t* c = connection();
    XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
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
    if (m_atoms.connection() != c)
        m_atoms = X11Atoms(c);
    const QList<uint32_t> atoms = m_atoms.atoms(
        {"_NET_ACTIVE_WINDOW", "UTF8_STRING", "_GTK_APPLICATION_ID", "_KDE_NET_WM_DESKTOP_FILE"});
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const QByteArray active = property(root, atoms[0], XCB_ATOM_WINDOW);
    if (active.size() < int(sizeof(xcb_window_t)))
        return std::nullopt;
    xcb_window_t window = 0;
    std::memcpy(&window, active.constData(), sizeof window);
    if (window == XCB_WINDOW_NONE)
        return std::nullopt;

    const uint32_t utf8 = atoms[1];
    const QString gtkId = QString::fromUtf8(property(window, atoms[2], utf8));
    const QString kdeFile = QString::fromUtf8(property(window, atoms[3], utf8));
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
