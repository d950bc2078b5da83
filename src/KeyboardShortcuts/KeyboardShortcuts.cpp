#include "KeyboardShortcuts/KeyboardShortcuts.h"

#include "KeyboardShortcuts/HotKeyRegistry.h"
#include "KeyboardShortcuts/KeyNaming.h"
#include "KeyboardShortcuts/StreamTables.h"
#include "platform/DefaultsStore.h"
#include "platform/HotKeyBackend.h"
#include "settings/JsonDefaultsStore.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <QWidget>

#include <vector>

namespace KeyboardShortcuts {

namespace {

const QString kPrefix = QStringLiteral("KeyboardShortcuts_");

template <typename T> using Table = std::vector<std::pair<Name, T>>;

template <typename T> T& entry(Table<T>& table, const Name& name) {
    for (auto& [n, value] : table) {
        if (n == name)
            return value;
    }
    table.emplace_back(name, T{});
    return table.back().second;
}

template <typename T> void dropEntry(Table<T>& table, const Name& name) {
    std::erase_if(table, [&](const auto& e) { return e.first == name; });
}

// Our own menus and popups take the keyboard while they are open; the hot keys
// are then matched in the keys that reach them.
class PopupWatcher : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

struct State {
    DefaultsStore* store = nullptr;
    std::unique_ptr<HotKeyBackend> backend;
    std::unique_ptr<HotKeyRegistry> registry;
    bool isEnabled = true;
    bool shortcutsPaused = false;
    bool menuOpen = false;
    bool initialized = false;
    QSet<Shortcut> registered;
    Table<QList<Action>> keyDownHandlers;
    Table<QList<Action>> keyUpHandlers;
    Table<QHash<QUuid, Action>> keyDownStreams;
    Table<QHash<QUuid, Action>> keyUpStreams;
    QList<MenuItem> menuItems;
    QHash<QString, Shortcut> declaredDefaults;
};

State& state() {
    static State s;
    return s;
}

DefaultsStore& store() {
    State& s = state();
    if (!s.store)
        s.store = new JsonDefaultsStore(JsonDefaultsStore::userPath());
    return *s.store;
}

HotKeyBackend& backend() {
    State& s = state();
    if (!s.backend)
        s.backend = HotKeyBackend::createForPlatform();
    return *s.backend;
}

HotKeyRegistry& registry() {
    State& s = state();
    if (!s.registry)
        s.registry = std::make_unique<HotKeyRegistry>(backend());
    return *s.registry;
}

void updateRegistry() {
    const State& s = state();
    registry().update(s.isEnabled, s.menuOpen, s.shortcutsPaused);
}

void setMenuOpen(bool open) {
    if (state().menuOpen == open)
        return;
    state().menuOpen = open;
    updateRegistry();
}

bool PopupWatcher::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Show && event->type() != QEvent::Hide)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || !widget->isWindow() || widget->windowType() != Qt::Popup)
        return false;
    if (event->type() == QEvent::Show) {
        setMenuOpen(true);
    } else {
        // The popup leaves the application's popup stack after its hide event.
        QTimer::singleShot(0, [] { setMenuOpen(QApplication::activePopupWidget() != nullptr); });
    }
    return false;
}

void initialize() {
    State& s = state();
    if (s.initialized || !qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    s.initialized = true;
    QCoreApplication::instance()->installEventFilter(
        new PopupWatcher(QCoreApplication::instance()));
}

void dispatch(const Shortcut& pressed, Table<QList<Action>>& handlers,
              Table<QHash<QUuid, Action>>& streams) {
    if (state().shortcutsPaused)
        return;
    // Copies: an action may add or remove handlers while we go.
    const auto handlersNow = handlers;
    for (const auto& [name, actions] : handlersNow) {
        if (getShortcut(name) == pressed) {
            for (const Action& action : actions)
                action();
        }
    }
    const auto streamsNow = streams;
    for (const auto& [name, callbacks] : streamsNow) {
        if (getShortcut(name) == pressed) {
            for (const Action& callback : callbacks)
                callback();
        }
    }
}

void registerShortcut(const Shortcut& shortcut) {
    State& s = state();
    if (s.registered.contains(shortcut))
        return;
    registry().registerShortcut(
        shortcut,
        [](const Shortcut& pressed) {
            dispatch(pressed, state().keyDownHandlers, state().keyDownStreams);
        },
        [](const Shortcut& released) {
            dispatch(released, state().keyUpHandlers, state().keyUpStreams);
        });
    s.registered.insert(shortcut);
}

void unregisterShortcut(const Shortcut& shortcut) {
    registry().unregisterShortcut(shortcut);
    state().registered.remove(shortcut);
}

void registerIfNeeded(const Name& name) {
    if (const auto shortcut = getShortcut(name))
        registerShortcut(*shortcut);
}

template <typename T> bool anyResolvesTo(const Table<T>& table, const Shortcut& shortcut) {
    for (const auto& [name, value] : table) {
        if (getShortcut(name) == shortcut)
            return true;
    }
    return false;
}

void storeShortcut(const Shortcut& shortcut, const Name& name) {
    const QByteArray json = shortcut.toJson();
    if (json.isEmpty())
        return;
    if (const auto old = getShortcut(name))
        unregisterShortcut(*old);
    registerShortcut(shortcut);
    store().setObject(storageKey(name), QString::fromUtf8(json));
    Q_EMIT Notifier::shared().shortcutByNameDidChange(name);
}

void removeShortcut(const Name& name) {
    const auto old = getShortcut(name);
    if (!old)
        return;
    if (name.defaultShortcut())
        store().setBool(storageKey(name), false);
    else
        store().removeObject(storageKey(name));
    unregisterShortcut(*old);
    Q_EMIT Notifier::shared().shortcutByNameDidChange(name);
}

std::optional<QString> searchMenu(const QList<MenuItem>& items, const Shortcut& shortcut,
                                  const std::optional<QString>& keyString) {
    const quint32 flags = shortcut.modifiers();
    for (const MenuItem& item : items) {
        QString equivalent = item.keyEquivalent;
        quint32 mask = item.modifierFlags;
        if ((flags & ModifierFlag::shift) && equivalent.toLower() != equivalent) {
            equivalent = equivalent.toLower();
            mask |= ModifierFlag::shift;
        }
        if (keyString && equivalent == *keyString && mask == flags)
            return item.title;
        if (const auto hit = searchMenu(item.submenu, shortcut, keyString))
            return hit;
    }
    return std::nullopt;
}

} // namespace

namespace detail {

std::optional<Shortcut> declaredDefault(const QString& rawValue) {
    const auto it = state().declaredDefaults.constFind(rawValue);
    if (it == state().declaredDefaults.constEnd())
        return std::nullopt;
    return *it;
}

void declare(const Name& name) {
    if (const auto& fallback = name.defaultShortcut()) {
        state().declaredDefaults.insert(name.rawValue(), *fallback);
        if (!store().object(storageKey(name)))
            storeShortcut(*fallback, name);
    }
    initialize();
}

void addStream(const Name& name, const QUuid& id, std::function<void()> onKeyDown,
               std::function<void()> onKeyUp) {
    entry(state().keyDownStreams, name).insert(id, std::move(onKeyDown));
    entry(state().keyUpStreams, name).insert(id, std::move(onKeyUp));
    registerIfNeeded(name);
}

void removeStream(const Name& name, const QUuid& id) {
    State& s = state();
    for (auto* table : {&s.keyDownStreams, &s.keyUpStreams}) {
        entry(*table, name).remove(id);
        std::erase_if(*table, [](const auto& e) { return e.second.isEmpty(); });
    }
    const auto shortcut = getShortcut(name);
    if (!shortcut)
        return;
    if (anyResolvesTo(s.keyDownHandlers, *shortcut) || anyResolvesTo(s.keyUpHandlers, *shortcut) ||
        anyResolvesTo(s.keyDownStreams, *shortcut) || anyResolvesTo(s.keyUpStreams, *shortcut))
        return;
    unregisterShortcut(*shortcut);
}

} // namespace detail

QString storageKey(const Name& name) {
    return kPrefix + name.rawValue();
}

std::optional<Shortcut> getShortcut(const Name& name) {
    const auto text = store().typedString(storageKey(name));
    if (!text)
        return std::nullopt;
    return Shortcut::fromJson(text->toUtf8());
}

void setShortcut(const std::optional<Shortcut>& shortcut, const Name& name) {
    if (shortcut)
        storeShortcut(*shortcut, name);
    else
        removeShortcut(name);
}

void reset(const QList<Name>& names) {
    for (const Name& name : names) {
        if (const auto& fallback = name.defaultShortcut())
            storeShortcut(*fallback, name);
        else
            removeShortcut(name);
    }
}

void resetAll() {
    QList<Name> names;
    for (const QString& key : store().keys()) {
        if (key.startsWith(kPrefix))
            names.append(Name(key.mid(kPrefix.size()), std::nullopt));
    }
    reset(names);
}

void enable(const QList<Name>& names) {
    for (const Name& name : names)
        registerIfNeeded(name);
}

void disable(const QList<Name>& names) {
    for (const Name& name : names) {
        if (const auto shortcut = getShortcut(name))
            unregisterShortcut(*shortcut);
    }
}

bool isEnabled() {
    return state().isEnabled;
}

void setEnabled(bool enabled) {
    if (state().isEnabled == enabled)
        return;
    state().isEnabled = enabled;
    updateRegistry();
}

bool isEnabled(const Name& name) {
    const auto shortcut = getShortcut(name);
    return state().isEnabled && shortcut && state().registered.contains(*shortcut);
}

void onKeyDown(const Name& name, Action action) {
    entry(state().keyDownHandlers, name).append(std::move(action));
    registerIfNeeded(name);
}

void onKeyUp(const Name& name, Action action) {
    entry(state().keyUpHandlers, name).append(std::move(action));
    registerIfNeeded(name);
}

void removeHandler(const Name& name) {
    State& s = state();
    dropEntry(s.keyDownHandlers, name);
    dropEntry(s.keyUpHandlers, name);
    const auto shortcut = getShortcut(name);
    if (!shortcut || anyResolvesTo(s.keyDownStreams, *shortcut) ||
        anyResolvesTo(s.keyUpStreams, *shortcut))
        return;
    unregisterShortcut(*shortcut);
}

void removeAllHandlers() {
    State& s = state();
    QSet<Shortcut> shortcuts;
    for (const auto* table : {&s.keyDownHandlers, &s.keyUpHandlers}) {
        for (const auto& [name, actions] : *table) {
            if (const auto shortcut = getShortcut(name))
                shortcuts.insert(*shortcut);
        }
    }
    for (const auto* table : {&s.keyDownStreams, &s.keyUpStreams}) {
        for (const auto& [name, callbacks] : *table) {
            if (const auto shortcut = getShortcut(name))
                shortcuts.remove(*shortcut);
        }
    }
    for (const Shortcut& shortcut : std::as_const(shortcuts))
        unregisterShortcut(shortcut);
    s.keyDownHandlers.clear();
    s.keyUpHandlers.clear();
}

std::unique_ptr<EventStream> events(const Name& name) {
    return std::make_unique<EventStream>(name);
}

std::unique_ptr<EventStream> events(EventType type, const Name& name) {
    return std::make_unique<EventStream>(name, type);
}

bool shortcutsPaused() {
    return state().shortcutsPaused;
}

void setShortcutsPaused(bool paused) {
    if (state().shortcutsPaused == paused)
        return;
    state().shortcutsPaused = paused;
    // Recording lets the recorder see a combination we grab, such as the
    // current shortcut itself.
    updateRegistry();
}

void setMenuItems(QList<MenuItem> items) {
    state().menuItems = std::move(items);
}

std::optional<QString> menuItemUsing(const Shortcut& shortcut) {
    return searchMenu(state().menuItems, shortcut, shortcut.menuKeyEquivalent());
}

QString unavailableReason() {
    return backend().unavailableReason();
}

bool isAvailableSystemWide(const Shortcut& shortcut) {
    return backend().isAvailable(int(shortcut.carbonKeyCode), int(shortcut.carbonModifiers));
}

QString layoutCharacter(int keyCode) {
    if (specialKeyForKeyCode(keyCode))
        return {};
    return backend().layoutCharacter(keyCode);
}

std::optional<int> keyCodeForScanCode(quint32 scanCode) {
    return backend().keyCodeForScanCode(scanCode);
}

void setUp(DefaultsStore* newStore, std::unique_ptr<HotKeyBackend> newBackend) {
    State& s = state();
    s.registry.reset();
    s.backend = std::move(newBackend);
    s.store = newStore;
    s.isEnabled = true;
    s.shortcutsPaused = false;
    s.menuOpen = false;
    s.registered.clear();
    s.keyDownHandlers.clear();
    s.keyUpHandlers.clear();
    s.keyDownStreams.clear();
    s.keyUpStreams.clear();
    s.menuItems.clear();
    s.declaredDefaults.clear();
}

} // namespace KeyboardShortcuts
