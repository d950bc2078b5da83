#pragma once

#include "platform/FrontmostApp.h"
#include "platform/freedesktop/DesktopEntryIndex.h"

#include <QList>
#include <QMutex>
#include <QString>

#include <cstdint>
#include <memory>

class WaylandConnection;
struct wl_proxy;

// The application of the most recently activated window that is not
// Quillet's own, from the compositor's toplevel list (the wlroots
// foreign-toplevel protocol): Quillet's panels take the focus when shown, and
// the application the user came from is the one that counts. A window's
// app_id is its application id (the desktop-file id where an entry has it,
// else an entry whose StartupWMClass matches), its name the entry's.
// Where the compositor keeps the list to itself, no application is known.
class WaylandFrontmostApp : public FrontmostApp {
public:
    // Binds on `connection` before its event thread starts. ownAppId: Quillet's
    // own windows' app_id. Empty dataDirs: the usual desktop-entry folders.
    WaylandFrontmostApp(WaylandConnection& connection, QString ownAppId, QStringList dataDirs = {});
    ~WaylandFrontmostApp() override;

    // The compositor shares its toplevel list.
    bool isAvailable() const { return m_manager != nullptr; }
    std::optional<FrontApp> frontmost() override;
    // What an app_id resolves to; public for tests.
    FrontApp resolve(const QString& appId);

    // Which window the user works in, for handing the keyboard back to it.
    // Activations are numbered in the order the compositor reports them.
    struct Focus {
        uint64_t window = 0; // the last activated window not Quillet's; 0: none
        QString appId;
        uint64_t activatedAt = 0;    // its latest activation
        bool active = false;         // it has the keyboard now
        uint64_t ownActivatedAt = 0; // the latest activation of one of Quillet's windows
    };
    // Any thread.
    Focus focus() const;

    // Event-thread callbacks of the protocol's listeners.
    struct Listeners;

private:
    struct Toplevel {
        wl_proxy* handle = nullptr;
        uint64_t id = 0;
        uint64_t activatedAt = 0;
        QString appId;
        bool activated = false; // as of the last done
        bool everActivated = false;
        bool pendingActivated = false; // from the state event before it
    };

    void onToplevel(wl_proxy* handle);
    void onAppId(wl_proxy* handle, const char* appId);
    void onState(wl_proxy* handle, bool activated);
    void onDone(wl_proxy* handle);
    void onClosed(wl_proxy* handle);
    void onFinished();
    Toplevel* find(wl_proxy* handle);
    void publish();

    WaylandConnection& m_connection;
    const QString m_ownAppId;
    DesktopEntryIndex m_entries;
    wl_proxy* m_manager = nullptr;
    // Event thread only; most recently activated first.
    QList<std::shared_ptr<Toplevel>> m_toplevels;
    uint64_t m_toplevelsSeen = 0;
    uint64_t m_activations = 0;
    uint64_t m_ownActivatedAt = 0;

    mutable QMutex m_mutex;
    Focus m_focus; // guarded by m_mutex
};
