#pragma once

#include "KeyboardShortcuts/EventStream.h"
#include "KeyboardShortcuts/Key.h"
#include "KeyboardShortcuts/MenuItem.h"
#include "KeyboardShortcuts/Name.h"
#include "KeyboardShortcuts/Shortcut.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUuid>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class DefaultsStore;
class HotKeyBackend;

namespace KeyboardShortcuts {

class HotKeyRegistry;

using Action = std::function<void()>;

// Named global keyboard shortcuts: their storage in the user-defaults store,
// system-wide hot keys and the delivery of presses and releases to handlers.
// The application root makes one and hands it to whoever needs it; it lives on
// the main thread.
//
//   const Name openPanel(QStringLiteral("openPanel"),
//                        Shortcut(Key::v, ModifierFlag::command | ModifierFlag::shift));
//   center.onKeyUp(openPanel, [&picker] { picker.toggle(); });
//
// The first operation that sees a name with a default declares it (see Name).
// The backend is not owned and must outlive the Center; while a QApplication
// runs, the Center watches its popups (our own menus take the keyboard, and the
// hot keys are then matched in the keys that reach them).
class Center : public QObject {
    Q_OBJECT
public:
    Center(DefaultsStore& store, HotKeyBackend& backend, QObject* parent = nullptr);
    ~Center() override;

    // Stores the name's default when nothing was ever stored for it, and lets
    // copies of the name without a default share it. Done by every operation
    // below that takes a name; a second declaration changes nothing.
    void declare(const Name& name);

    // The stored shortcut; nothing when absent, removed (false) or unreadable.
    // Read from the store every time.
    std::optional<Shortcut> getShortcut(const Name& name);
    // Stores the shortcut (and registers it), or with nothing removes it: a name
    // with a default then keeps false so that the default does not come back.
    void setShortcut(const std::optional<Shortcut>& shortcut, const Name& name);

    // Back to the default, or no entry at all for names without one.
    void reset(const QList<Name>& names);
    // Deletes every stored shortcut of the store, defaults included.
    void resetAll();

    void enable(const QList<Name>& names);
    // Releases the hot keys of the names; what is stored stays.
    void disable(const QList<Name>& names);

    // Master switch for every hot key of the Center (initially on).
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    // On, the name has a shortcut and that shortcut is registered.
    bool isEnabled(const Name& name);

    // Handlers run in the order they were added, on every press (release) of the
    // name's current shortcut. Adding one registers the shortcut.
    void onKeyDown(const Name& name, Action action);
    void onKeyUp(const Name& name, Action action);
    void removeHandler(const Name& name);
    void removeAllHandlers();

    std::unique_ptr<EventStream> events(const Name& name);
    std::unique_ptr<EventStream> events(EventType type, const Name& name);

    // Set by a recorder while it records: no press reaches a handler or stream.
    bool shortcutsPaused() const { return m_paused; }
    void setShortcutsPaused(bool paused);

    void setMenuItems(QList<MenuItem> items);
    // The title of the first of those items (depth first) that uses the shortcut.
    std::optional<QString> menuItemUsing(const Shortcut& shortcut) const;

    // Why no shortcut can work in this session (shown in the settings); empty
    // where they can.
    QString unavailableReason() const;
    // False when another application holds the combination system-wide.
    bool isAvailableSystemWide(const Shortcut& shortcut) const;

    // Where the desktop decides the keys of global shortcuts (Wayland's
    // portal), none can be recorded: the desktop's own text for the keys it
    // gave ours (empty until it has said), and whether it can be asked to let
    // the user change them.
    bool keysAssignedByDesktop() const;
    QString desktopTrigger() const;
    bool canChangeDesktopTrigger() const;
    void changeDesktopTrigger();

    // The unshifted character of the key in the current keyboard layout; empty
    // for keys with fixed symbols and keys the layout gives no single character.
    QString layoutCharacter(int keyCode) const;
    // The virtual key code of a native key event's scan code.
    std::optional<int> keyCodeForScanCode(quint32 scanCode) const;
    // The shortcut's text in the current layout ("⇧⌘V"; ⌘ is the Super key).
    QString description(const Shortcut& shortcut) const;

    // Bookkeeping of EventStream, which subscribes on its own schedule.
    void addStream(const Name& name, const QUuid& id, Action onKeyDown, Action onKeyUp);
    void removeStream(const Name& name, const QUuid& id);

Q_SIGNALS:
    // "KeyboardShortcuts_shortcutByNameDidChange": a name's stored shortcut was
    // stored or removed.
    void shortcutByNameDidChange(const KeyboardShortcuts::Name& name);
    // "KeyboardShortcuts_recorderActiveStatusDidChange": a recorder started
    // (true) or stopped (false) recording.
    void recorderActiveStatusDidChange(bool isActive);
    // The desktop's trigger, whether it can be changed, or unavailableReason()
    // changed.
    void desktopTriggerDidChange();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    template <typename T> using Table = std::vector<std::pair<Name, T>>;
    using Streams = QHash<QUuid, Action>;

    std::optional<Shortcut> stored(const Name& name) const;
    std::optional<Shortcut> defaultFor(const Name& name) const;
    void storeShortcut(const Shortcut& shortcut, const Name& name);
    void removeShortcut(const Name& name, bool keepDefaultAway);
    void registerShortcut(const Shortcut& shortcut);
    void unregisterShortcut(const Shortcut& shortcut);
    void registerIfNeeded(const Name& name);
    void dispatch(const Shortcut& pressed, const Table<QList<Action>>& handlers,
                  const Table<Streams>& streams);
    bool streamsUse(const Shortcut& shortcut) const;
    void updateRegistry();
    void setMenuOpen(bool open);

    DefaultsStore& m_store;
    HotKeyBackend& m_backend;
    std::unique_ptr<HotKeyRegistry> m_registry;
    bool m_enabled = true;
    bool m_paused = false;
    bool m_menuOpen = false;
    bool m_watchingPopups = false;
    QSet<Shortcut> m_registered;
    Table<QList<Action>> m_keyDownHandlers;
    Table<QList<Action>> m_keyUpHandlers;
    Table<Streams> m_keyDownStreams;
    Table<Streams> m_keyUpStreams;
    QList<MenuItem> m_menuItems;
    QHash<QString, Shortcut> m_declaredDefaults;
};

} // namespace KeyboardShortcuts
