#include "KeyboardShortcuts/Center.h"

#include "KeyboardShortcuts/HotKeyRegistry.h"
#include "KeyboardShortcuts/KeyNaming.h"
#include "platform/DefaultsStore.h"
#include "platform/HotKeyBackend.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace KeyboardShortcuts {

namespace {

template <typename T> T& entry(std::vector<std::pair<Name, T>>& table, const Name& name) {
    for (auto& [n, value] : table) {
        if (n == name)
            return value;
    }
    table.emplace_back(name, T{});
    return table.back().second;
}

template <typename T> void dropEntry(std::vector<std::pair<Name, T>>& table, const Name& name) {
    std::erase_if(table, [&](const auto& e) { return e.first == name; });
}

} // namespace

Center::Center(DefaultsStore& store, HotKeyBackend& backend, QObject* parent)
    : QObject(parent)
    , m_store(store)
    , m_backend(backend)
    , m_registry(std::make_unique<HotKeyRegistry>(backend)) {
    m_backend.setChangeHandler([this] { Q_EMIT desktopTriggerDidChange(); });
    // Popups exist only in a widget application.
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        app->installEventFilter(this);
        m_watchingPopups = true;
    }
}

Center::~Center() {
    if (m_watchingPopups && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
    // Gives every combination back to the desktop.
    for (const Shortcut& shortcut : std::as_const(m_registered))
        m_registry->unregisterShortcut(shortcut);
    m_backend.setChangeHandler({});
}

void Center::declare(const Name& name) {
    const auto& fallback = name.defaultShortcut();
    if (!fallback)
        return;
    const auto known = m_declaredDefaults.constFind(name.rawValue());
    if (known != m_declaredDefaults.constEnd() && *known == *fallback)
        return;
    m_declaredDefaults.insert(name.rawValue(), *fallback);
    if (!m_store.object(storageKey(name)))
        storeShortcut(*fallback, name);
}

std::optional<Shortcut> Center::stored(const Name& name) const {
    const auto text = m_store.typedString(storageKey(name));
    if (!text)
        return std::nullopt;
    return Shortcut::fromJson(text->toUtf8());
}

std::optional<Shortcut> Center::defaultFor(const Name& name) const {
    if (name.defaultShortcut())
        return name.defaultShortcut();
    const auto known = m_declaredDefaults.constFind(name.rawValue());
    if (known == m_declaredDefaults.constEnd())
        return std::nullopt;
    return *known;
}

void Center::storeShortcut(const Shortcut& shortcut, const Name& name) {
    const QByteArray json = shortcut.toJson();
    if (json.isEmpty())
        return;
    if (const auto old = stored(name))
        unregisterShortcut(*old);
    registerShortcut(shortcut);
    m_store.setObject(storageKey(name), QString::fromUtf8(json));
    Q_EMIT shortcutByNameDidChange(name);
}

void Center::removeShortcut(const Name& name, bool keepDefaultAway) {
    const auto old = stored(name);
    if (!old)
        return;
    if (keepDefaultAway && defaultFor(name))
        m_store.setBool(storageKey(name), false);
    else
        m_store.removeObject(storageKey(name));
    unregisterShortcut(*old);
    Q_EMIT shortcutByNameDidChange(name);
}

void Center::registerShortcut(const Shortcut& shortcut) {
    if (m_registered.contains(shortcut))
        return;
    m_registry->registerShortcut(
        shortcut,
        [this](const Shortcut& pressed) { dispatch(pressed, m_keyDownHandlers, m_keyDownStreams); },
        [this](const Shortcut& released) { dispatch(released, m_keyUpHandlers, m_keyUpStreams); });
    m_registered.insert(shortcut);
}

void Center::unregisterShortcut(const Shortcut& shortcut) {
    m_registry->unregisterShortcut(shortcut);
    m_registered.remove(shortcut);
}

void Center::registerIfNeeded(const Name& name) {
    if (const auto shortcut = stored(name))
        registerShortcut(*shortcut);
}

void Center::dispatch(const Shortcut& pressed, const Table<QList<Action>>& handlers,
                      const Table<Streams>& streams) {
    if (m_paused)
        return;
    // Copies: an action may add or remove handlers while we go.
    const auto handlersNow = handlers;
    for (const auto& [name, actions] : handlersNow) {
        if (stored(name) == pressed) {
            for (const Action& action : actions)
                action();
        }
    }
    const auto streamsNow = streams;
    for (const auto& [name, callbacks] : streamsNow) {
        if (stored(name) == pressed) {
            for (const Action& callback : callbacks)
                callback();
        }
    }
}

bool Center::streamsUse(const Shortcut& shortcut) const {
    for (const auto* table : {&m_keyDownStreams, &m_keyUpStreams}) {
        for (const auto& [name, callbacks] : *table) {
            if (stored(name) == shortcut)
                return true;
        }
    }
    return false;
}

std::optional<Shortcut> Center::getShortcut(const Name& name) {
    declare(name);
    return stored(name);
}

void Center::setShortcut(const std::optional<Shortcut>& shortcut, const Name& name) {
    declare(name);
    if (shortcut)
        storeShortcut(*shortcut, name);
    else
        removeShortcut(name, true);
}

void Center::reset(const QList<Name>& names) {
    for (const Name& name : names) {
        declare(name);
        if (const auto fallback = defaultFor(name))
            storeShortcut(*fallback, name);
        else
            removeShortcut(name, false);
    }
}

void Center::resetAll() {
    for (const QString& key : m_store.keys()) {
        if (const auto name = nameForStorageKey(key))
            removeShortcut(*name, false);
    }
}

void Center::enable(const QList<Name>& names) {
    for (const Name& name : names) {
        declare(name);
        registerIfNeeded(name);
    }
}

void Center::disable(const QList<Name>& names) {
    for (const Name& name : names) {
        declare(name);
        if (const auto shortcut = stored(name))
            unregisterShortcut(*shortcut);
    }
}

void Center::setEnabled(bool enabled) {
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    updateRegistry();
}

bool Center::isEnabled(const Name& name) {
    const auto shortcut = getShortcut(name);
    return m_enabled && shortcut && m_registered.contains(*shortcut);
}

void Center::onKeyDown(const Name& name, Action action) {
    declare(name);
    entry(m_keyDownHandlers, name).append(std::move(action));
    registerIfNeeded(name);
}

void Center::onKeyUp(const Name& name, Action action) {
    declare(name);
    entry(m_keyUpHandlers, name).append(std::move(action));
    registerIfNeeded(name);
}

void Center::removeHandler(const Name& name) {
    dropEntry(m_keyDownHandlers, name);
    dropEntry(m_keyUpHandlers, name);
    const auto shortcut = stored(name);
    if (shortcut && !streamsUse(*shortcut))
        unregisterShortcut(*shortcut);
}

void Center::removeAllHandlers() {
    QSet<Shortcut> shortcuts;
    for (const auto* table : {&m_keyDownHandlers, &m_keyUpHandlers}) {
        for (const auto& [name, actions] : *table) {
            if (const auto shortcut = stored(name))
                shortcuts.insert(*shortcut);
        }
    }
    for (const Shortcut& shortcut : std::as_const(shortcuts)) {
        if (!streamsUse(shortcut))
            unregisterShortcut(shortcut);
    }
    m_keyDownHandlers.clear();
    m_keyUpHandlers.clear();
}

std::unique_ptr<EventStream> Center::events(const Name& name) {
    declare(name);
    return std::make_unique<EventStream>(*this, name);
}

std::unique_ptr<EventStream> Center::events(EventType type, const Name& name) {
    declare(name);
    return std::make_unique<EventStream>(*this, name, type);
}

void Center::addStream(const Name& name, const QUuid& id, Action onKeyDown, Action onKeyUp) {
    entry(m_keyDownStreams, name).insert(id, std::move(onKeyDown));
    entry(m_keyUpStreams, name).insert(id, std::move(onKeyUp));
    registerIfNeeded(name);
}

void Center::removeStream(const Name& name, const QUuid& id) {
    for (auto* table : {&m_keyDownStreams, &m_keyUpStreams}) {
        entry(*table, name).remove(id);
        std::erase_if(*table, [](const auto& e) { return e.second.isEmpty(); });
    }
    const auto shortcut = stored(name);
    if (!shortcut || streamsUse(*shortcut))
        return;
    for (const auto* table : {&m_keyDownHandlers, &m_keyUpHandlers}) {
        for (const auto& [other, actions] : *table) {
            if (stored(other) == *shortcut)
                return;
        }
    }
    unregisterShortcut(*shortcut);
}

void Center::setShortcutsPaused(bool paused) {
    if (m_paused == paused)
        return;
    m_paused = paused;
    // Recording lets the recorder see a combination we grab, such as the
    // current shortcut itself.
    updateRegistry();
}

void Center::setMenuItems(QList<MenuItem> items) {
    m_menuItems = std::move(items);
}

std::optional<QString> Center::menuItemUsing(const Shortcut& shortcut) const {
    return KeyboardShortcuts::menuItemUsing(m_menuItems, shortcut,
                                            shortcut.menuKeyEquivalent(m_backend));
}

QString Center::unavailableReason() const {
    return m_backend.unavailableReason();
}

bool Center::isAvailableSystemWide(const Shortcut& shortcut) const {
    return m_backend.isAvailable(int(shortcut.carbonKeyCode), int(shortcut.carbonModifiers));
}

bool Center::keysAssignedByDesktop() const {
    return m_backend.desktopAssignsKeys();
}

QString Center::desktopTrigger() const {
    return m_backend.desktopTrigger();
}

bool Center::canChangeDesktopTrigger() const {
    return m_backend.canChangeDesktopTrigger();
}

void Center::changeDesktopTrigger() {
    m_backend.changeDesktopTrigger();
}

QString Center::layoutCharacter(int keyCode) const {
    if (specialKeyForKeyCode(keyCode))
        return {};
    return m_backend.layoutCharacter(keyCode);
}

std::optional<int> Center::keyCodeForScanCode(quint32 scanCode) const {
    return m_backend.keyCodeForScanCode(scanCode);
}

QString Center::description(const Shortcut& shortcut) const {
    return shortcut.description(m_backend);
}

void Center::updateRegistry() {
    m_registry->update(m_enabled, m_menuOpen, m_paused);
}

void Center::setMenuOpen(bool open) {
    if (m_menuOpen == open)
        return;
    m_menuOpen = open;
    updateRegistry();
}

bool Center::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Show && event->type() != QEvent::Hide)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || !widget->isWindow() || widget->windowType() != Qt::Popup)
        return false;
    if (event->type() == QEvent::Show) {
        setMenuOpen(true);
    } else {
        // The popup leaves the application's popup stack after its hide event.
        QTimer::singleShot(0, this,
                           [this] { setMenuOpen(QApplication::activePopupWidget() != nullptr); });
    }
    return false;
}

} // namespace KeyboardShortcuts
