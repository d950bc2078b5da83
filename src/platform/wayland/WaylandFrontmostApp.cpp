#include "platform/wayland/WaylandFrontmostApp.h"

#include "platform/wayland/WaylandConnection.h"

#include <wayland-client.h>
#include <wayland/wlr-foreign-toplevel-management-unstable-v1-client.h>

namespace {
using Manager = zwlr_foreign_toplevel_manager_v1;
using Handle = zwlr_foreign_toplevel_handle_v1;

template <class T> wl_proxy* proxy(T* object) {
    return reinterpret_cast<wl_proxy*>(object);
}
Handle* handle(wl_proxy* object) {
    return reinterpret_cast<Handle*>(object);
}
} // namespace

struct WaylandFrontmostApp::Listeners {
    static WaylandFrontmostApp* self(void* data) { return static_cast<WaylandFrontmostApp*>(data); }
    static void toplevel(void* data, Manager*, Handle* h) { self(data)->onToplevel(proxy(h)); }
    static void finished(void* data, Manager*) { self(data)->onFinished(); }
    static void title(void*, Handle*, const char*) {}
    static void appId(void* data, Handle* h, const char* id) { self(data)->onAppId(proxy(h), id); }
    static void outputEnter(void*, Handle*, wl_output*) {}
    static void outputLeave(void*, Handle*, wl_output*) {}
    static void state(void* data, Handle* h, wl_array* states) {
        bool activated = false;
        const auto* begin = static_cast<const uint32_t*>(states->data);
        for (size_t i = 0; i < states->size / sizeof(uint32_t); ++i)
            activated = activated || begin[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED;
        self(data)->onState(proxy(h), activated);
    }
    static void done(void* data, Handle* h) { self(data)->onDone(proxy(h)); }
    static void closed(void* data, Handle* h) { self(data)->onClosed(proxy(h)); }
    static void parent(void*, Handle*, Handle*) {}
};

namespace {
const zwlr_foreign_toplevel_manager_v1_listener kManagerListener = {
    &WaylandFrontmostApp::Listeners::toplevel,
    &WaylandFrontmostApp::Listeners::finished,
};
const zwlr_foreign_toplevel_handle_v1_listener kHandleListener = {
    &WaylandFrontmostApp::Listeners::title,       &WaylandFrontmostApp::Listeners::appId,
    &WaylandFrontmostApp::Listeners::outputEnter, &WaylandFrontmostApp::Listeners::outputLeave,
    &WaylandFrontmostApp::Listeners::state,       &WaylandFrontmostApp::Listeners::done,
    &WaylandFrontmostApp::Listeners::closed,      &WaylandFrontmostApp::Listeners::parent,
};
} // namespace

WaylandFrontmostApp::WaylandFrontmostApp(WaylandConnection& connection, QString ownAppId,
                                         QStringList dataDirs)
    : m_connection(connection)
    , m_ownAppId(std::move(ownAppId))
    , m_entries(std::move(dataDirs)) {
    m_manager =
        static_cast<wl_proxy*>(connection.bind(&zwlr_foreign_toplevel_manager_v1_interface, 1, 3));
    if (!m_manager)
        return;
    zwlr_foreign_toplevel_manager_v1_add_listener(reinterpret_cast<Manager*>(m_manager),
                                                  &kManagerListener, this);
    // The windows open now, and which of them is active.
    connection.roundtrip();
}

WaylandFrontmostApp::~WaylandFrontmostApp() {
    m_connection.call([this] {
        for (const auto& t : std::as_const(m_toplevels))
            wl_proxy_destroy(t->handle);
        m_toplevels.clear();
        if (m_manager)
            wl_proxy_destroy(m_manager);
        m_manager = nullptr;
    });
}

WaylandFrontmostApp::Toplevel* WaylandFrontmostApp::find(wl_proxy* h) {
    for (const auto& t : std::as_const(m_toplevels)) {
        if (t->handle == h)
            return t.get();
    }
    return nullptr;
}

void WaylandFrontmostApp::onToplevel(wl_proxy* h) {
    auto t = std::make_shared<Toplevel>();
    t->handle = h;
    t->id = ++m_toplevelsSeen;
    // New windows go last: they count once they are activated.
    m_toplevels.append(t);
    zwlr_foreign_toplevel_handle_v1_add_listener(handle(h), &kHandleListener, this);
}

void WaylandFrontmostApp::onAppId(wl_proxy* h, const char* appId) {
    if (Toplevel* t = find(h))
        t->appId = QString::fromUtf8(appId);
}

void WaylandFrontmostApp::onState(wl_proxy* h, bool activated) {
    if (Toplevel* t = find(h))
        t->pendingActivated = activated;
}

void WaylandFrontmostApp::onDone(wl_proxy* h) {
    for (qsizetype i = 0; i < m_toplevels.size(); ++i) {
        const auto t = m_toplevels[i];
        if (t->handle != h)
            continue;
        if (t->pendingActivated && !t->activated) {
            t->everActivated = true;
            t->activatedAt = ++m_activations;
            if (t->appId == m_ownAppId)
                m_ownActivatedAt = t->activatedAt;
            m_toplevels.move(i, 0);
        }
        t->activated = t->pendingActivated;
        break;
    }
    publish();
}

void WaylandFrontmostApp::onClosed(wl_proxy* h) {
    m_toplevels.removeIf([h](const std::shared_ptr<Toplevel>& t) { return t->handle == h; });
    wl_proxy_destroy(h);
    publish();
}

void WaylandFrontmostApp::onFinished() {
    for (const auto& t : std::as_const(m_toplevels))
        wl_proxy_destroy(t->handle);
    m_toplevels.clear();
    wl_proxy_destroy(m_manager);
    m_manager = nullptr;
    publish();
}

void WaylandFrontmostApp::publish() {
    Focus focus;
    focus.ownActivatedAt = m_ownActivatedAt;
    // Quillet's own windows never hide the application the user came from; a
    // window without an app_id names none (not the one before it).
    for (const auto& t : std::as_const(m_toplevels)) {
        if (t->everActivated && t->appId != m_ownAppId) {
            focus.window = t->id;
            focus.appId = t->appId;
            focus.activatedAt = t->activatedAt;
            focus.active = t->activated;
            break;
        }
    }
    const QMutexLocker lock(&m_mutex);
    m_focus = focus;
}

WaylandFrontmostApp::Focus WaylandFrontmostApp::focus() const {
    const QMutexLocker lock(&m_mutex);
    return m_focus;
}

FrontApp WaylandFrontmostApp::resolve(const QString& appId) {
    QString id = appId;
    if (id.endsWith(QLatin1String(".desktop")))
        id.chop(8);
    if (!m_entries.entry(id)) {
        if (const QString byClass = m_entries.idForStartupClass(id); !byClass.isEmpty())
            id = byClass;
        else if (m_entries.entry(id.toLower()))
            id = id.toLower();
    }
    FrontApp app;
    app.id = id;
    const auto entry = m_entries.entry(id);
    app.name = entry && !entry->name.isEmpty() ? entry->name : appId;
    return app;
}

std::optional<FrontApp> WaylandFrontmostApp::frontmost() {
    const QString front = focus().appId;
    if (front.isEmpty())
        return std::nullopt;
    return resolve(front);
}
