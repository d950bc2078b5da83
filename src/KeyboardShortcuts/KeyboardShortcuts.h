#pragma once

// Named global keyboard shortcuts: their storage in the user-defaults store,
// system-wide hot keys and the delivery of presses and releases to handlers.
// Everything here is process-wide state used from the main thread.
//
// The application declares its names once and adds handlers:
//
//   using namespace KeyboardShortcuts;
//   const Name openPanel(QStringLiteral("openPanel"),
//                        Shortcut(Key::v, ModifierFlag::command | ModifierFlag::shift));
//   onKeyUp(openPanel, [] { QuickPicker::shared().toggle(); });
//
// Later uses may name it without the default: Name(QStringLiteral("openPanel")).
// Its text form is getShortcut(name)->description() ("⇧⌘V"; ⌘ is the Super key).
// Declare names once the QApplication exists: the first use picks the hot-key
// backend of the running session.

#include "KeyboardShortcuts/EventStream.h"
#include "KeyboardShortcuts/Key.h"
#include "KeyboardShortcuts/Name.h"
#include "KeyboardShortcuts/Notifier.h"
#include "KeyboardShortcuts/Shortcut.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class DefaultsStore;
class HotKeyBackend;

namespace KeyboardShortcuts {

using Action = std::function<void()>;

// The defaults key of a name: "KeyboardShortcuts_" + name.
QString storageKey(const Name& name);

// The stored shortcut; nothing when absent, removed (false) or unreadable.
// Read from the store every time.
std::optional<Shortcut> getShortcut(const Name& name);
// Stores the shortcut (and registers it), or with nothing removes it: a name
// with a default then keeps false so that the default does not come back.
void setShortcut(const std::optional<Shortcut>& shortcut, const Name& name);

// Back to the default, or no entry at all for names without one.
void reset(const QList<Name>& names);
// Deletes every stored shortcut of the store.
void resetAll();

void enable(const QList<Name>& names);
// Releases the hot keys of the names; what is stored stays.
void disable(const QList<Name>& names);

// Master switch for every hot key of the module (initially on).
bool isEnabled();
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
bool shortcutsPaused();
void setShortcutsPaused(bool paused);

// One item of the application's own menus, with its key equivalent as a menu
// would show it ("," or "q"; an upper-case letter implies shift) and its
// key-event modifier flags. The recorder refuses shortcuts these items use.
struct MenuItem {
    QString title;
    QString keyEquivalent;
    quint32 modifierFlags = ModifierFlag::command;
    QList<MenuItem> submenu;
};
void setMenuItems(QList<MenuItem> items);
// The title of the first item (depth first) that uses the shortcut.
std::optional<QString> menuItemUsing(const Shortcut& shortcut);

// Why no shortcut can work in this session (shown in the settings); empty
// where they can.
QString unavailableReason();

// False when another application holds the combination system-wide.
bool isAvailableSystemWide(const Shortcut& shortcut);

// The unshifted character of the key in the current keyboard layout; empty
// for keys with fixed symbols and keys the layout gives no single character.
QString layoutCharacter(int keyCode);
// The virtual key code of a native key event's scan code.
std::optional<int> keyCodeForScanCode(quint32 scanCode);

// Replaces the store and the hot-key backend and forgets every handler, stream
// and registration. Without this, the first use takes the user's standard
// store and the backend of the running session.
void setUp(DefaultsStore* store, std::unique_ptr<HotKeyBackend> backend);

} // namespace KeyboardShortcuts
