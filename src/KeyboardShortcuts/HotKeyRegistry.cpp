#include "KeyboardShortcuts/HotKeyRegistry.h"

#include "KeyboardShortcuts/ShortcutsLog.h"
#include "platform/HotKeyBackend.h"

#include <climits>
#include <cstdio>

namespace KeyboardShortcuts {

namespace {

constexpr int kBadValue = 2;
constexpr qint64 kKnownModifiers = CarbonModifier::command | CarbonModifier::shift |
                                   CarbonModifier::option | CarbonModifier::control |
                                   CarbonModifier::function;

// A stored value is anyone's to edit. Out of range, it would reach the window
// system cut down to another combination, held for the desktop and never
// matched again.
bool isInRange(const Shortcut& s) {
    return s.carbonKeyCode >= 0 && s.carbonKeyCode <= INT_MAX &&
           (s.carbonModifiers & ~kKnownModifiers) == 0;
}

} // namespace

HotKeyRegistry::HotKeyRegistry(HotKeyBackend& backend)
    : m_backend(backend) {
    m_backend.setEventHandler([this](const HotKeyEvent& e) { return handle(e); });
}

HotKeyRegistry::~HotKeyRegistry() {
    m_backend.setEventHandler({});
}

void HotKeyRegistry::reportFailure(const Shortcut& shortcut, int status) const {
    const QByteArray line = "Error registering hotkey " + shortcut.description(m_backend).toUtf8() +
                            ": " + QByteArray::number(status) + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
}

void HotKeyRegistry::registerShortcut(const Shortcut& shortcut, Callback onKeyDown,
                                      Callback onKeyUp) {
    const qint64 id = ++m_lastId;
    const int status = isInRange(shortcut) ? m_backend.grab(int(shortcut.carbonKeyCode),
                                                            int(shortcut.carbonModifiers))
                                           : kBadValue;
    if (status != 0) {
        reportFailure(shortcut, status);
        return;
    }
    qCDebug(shortcutsLog) << "registered" << shortcut.description(m_backend) << "as" << id;
    m_hotKeys[id] = HotKey{shortcut, true, std::move(onKeyDown), std::move(onKeyUp)};
    if (!m_installed) {
        m_installed = true;
        update(m_enabled, m_menuOpen, m_recording);
    } else if (!m_enabled || m_menuOpen || m_recording) {
        // Taken while suspended: release it until the suspension ends.
        m_backend.ungrab(int(shortcut.carbonKeyCode), int(shortcut.carbonModifiers));
        m_hotKeys[id].active = false;
    }
}

void HotKeyRegistry::unregisterShortcut(const Shortcut& shortcut) {
    for (auto it = m_hotKeys.begin(); it != m_hotKeys.end();) {
        if (it->second.shortcut == shortcut) {
            if (it->second.active)
                m_backend.ungrab(int(shortcut.carbonKeyCode), int(shortcut.carbonModifiers));
            it = m_hotKeys.erase(it);
        } else {
            ++it;
        }
    }
}

void HotKeyRegistry::suspendAll() {
    for (auto& [id, hotKey] : m_hotKeys) {
        if (hotKey.active) {
            m_backend.ungrab(int(hotKey.shortcut.carbonKeyCode),
                             int(hotKey.shortcut.carbonModifiers));
            hotKey.active = false;
        }
    }
}

void HotKeyRegistry::registerAllSuspended() {
    for (auto it = m_hotKeys.begin(); it != m_hotKeys.end();) {
        HotKey& hotKey = it->second;
        if (hotKey.active) {
            ++it;
            continue;
        }
        const int status = m_backend.grab(int(hotKey.shortcut.carbonKeyCode),
                                          int(hotKey.shortcut.carbonModifiers));
        if (status != 0) {
            reportFailure(hotKey.shortcut, status);
            it = m_hotKeys.erase(it);
        } else {
            hotKey.active = true;
            ++it;
        }
    }
}

void HotKeyRegistry::update(bool enabled, bool menuOpen, bool recording) {
    m_enabled = enabled;
    m_menuOpen = menuOpen;
    m_recording = recording;
    if (!m_installed)
        return;
    if (!enabled || recording) {
        suspendAll();
        m_rawKeys = false;
    } else if (!menuOpen) {
        registerAllSuspended();
        m_rawKeys = false;
    } else {
        suspendAll();
        m_rawKeys = true;
    }
}

QList<qint64> HotKeyRegistry::ids() const {
    QList<qint64> result;
    for (const auto& [id, hotKey] : m_hotKeys)
        result.append(id);
    return result;
}

bool HotKeyRegistry::isActive(qint64 id) const {
    const auto it = m_hotKeys.find(id);
    return it != m_hotKeys.end() && it->second.active;
}

bool HotKeyRegistry::handle(const HotKeyEvent& event) {
    if (event.raw && !m_rawKeys)
        return false;
    Callback callback;
    Shortcut shortcut;
    if (event.press) {
        const Shortcut pressed(event.keyCode, event.modifiers);
        for (const auto& [id, hotKey] : m_hotKeys) {
            if (hotKey.shortcut == pressed && (event.raw || hotKey.active)) {
                m_down.insert(event.keyCode, id);
                callback = hotKey.onKeyDown;
                shortcut = hotKey.shortcut;
                break;
            }
        }
    } else {
        const auto down = m_down.find(event.keyCode);
        if (down == m_down.end())
            return false;
        const auto it = m_hotKeys.find(*down);
        m_down.erase(down);
        if (it == m_hotKeys.end())
            return false;
        callback = it->second.onKeyUp;
        shortcut = it->second.shortcut;
    }
    if (!callback)
        return false;
    // A copy: the callback may replace the very record it came from.
    callback(shortcut);
    return true;
}

} // namespace KeyboardShortcuts
