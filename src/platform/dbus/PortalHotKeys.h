#pragma once

#include "platform/HotKeyBackend.h"

#include <QDBusConnection>
#include <QObject>

#include <optional>
#include <utility>

class QDBusMessage;

// The global shortcut where no client may grab keys (Wayland): the desktop
// portal's GlobalShortcuts interface binds it in a session of ours and tells
// us when it is pressed and released. The desktop decides the keys: the
// grabbed combination is only our preferred trigger, and the desktop may
// assign another one or let the user change it. One shortcut, Quillet's
// "openPanel"; its presses and releases come as the grabbed combination.
//
// The portal answers asynchronously: grab() returns 0 once the request is on
// its way; a portal without the interface, or a user who declines, turns
// every later grab into -1 with unavailableReason() saying why.
class PortalHotKeys : public QObject, public HotKeyBackend {
    Q_OBJECT
public:
    explicit PortalHotKeys(const QDBusConnection& bus, QObject* parent = nullptr);
    ~PortalHotKeys() override;
    PortalHotKeys(const PortalHotKeys&) = delete;
    PortalHotKeys& operator=(const PortalHotKeys&) = delete;

    // False when no portal runs on the bus nor can be started there.
    bool isPortalOnBus() const { return m_portalOnBus; }
    // What to tell the user where the desktop binds no shortcut for Quillet.
    static QString noShortcutReason();

    int grab(int keyCode, int modifiers) override;
    void ungrab(int keyCode, int modifiers) override;
    // The desktop resolves clashes itself when it binds.
    bool isAvailable(int, int) override { return true; }
    std::optional<int> keyCodeForScanCode(quint32 scanCode) const override;
    QString layoutCharacter(int keyCode) const override;
    QString unavailableReason() const override { return m_reason; }

    bool desktopAssignsKeys() const override { return true; }
    QString desktopTrigger() const override { return m_trigger; }
    bool canChangeDesktopTrigger() const override;
    void changeDesktopTrigger() override;

private Q_SLOTS:
    void onActivated(const QDBusMessage& message);
    void onDeactivated(const QDBusMessage& message);
    void onShortcutsChanged(const QDBusMessage& message);

private:
    using Combination = std::pair<int, int>;

    void readVersion();
    void createSession();
    void bind();
    void closeSession();
    void fail(const QString& reason);
    bool isOurShortcut(const QDBusMessage& message) const;
    void takeTrigger(const QVariant& shortcuts);

    QDBusConnection m_bus;
    bool m_portalOnBus = false;
    // 0 until the portal told its interface version.
    uint m_version = 0;
    QString m_session;
    // A CreateSession or BindShortcuts request is on its way.
    bool m_busy = false;
    bool m_failed = false;
    // What grab() was asked for last and is held until ungrab().
    std::optional<Combination> m_wanted;
    bool m_grabbed = false;
    // What the session's shortcut was bound with.
    std::optional<Combination> m_bound;
    // The combination whose press was delivered and whose release is due.
    std::optional<Combination> m_down;
    QString m_trigger;
    QString m_reason;
};
