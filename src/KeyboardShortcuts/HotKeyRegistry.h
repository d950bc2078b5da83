#pragma once

#include "KeyboardShortcuts/Shortcut.h"

#include <QHash>

#include <functional>
#include <map>

class HotKeyBackend;
struct HotKeyEvent;

namespace KeyboardShortcuts {

// The system-wide hot keys the module holds, one record per successful
// registration, and the routing of presses and releases back to the callbacks
// given at registration. Records outlive suspension: while hot keys are
// switched off, recording a shortcut or a menu is open, the grabs are released
// and later taken again under the same ids.
class HotKeyRegistry {
public:
    using Callback = std::function<void(const Shortcut&)>;

    explicit HotKeyRegistry(HotKeyBackend& backend);
    ~HotKeyRegistry();
    HotKeyRegistry(const HotKeyRegistry&) = delete;
    HotKeyRegistry& operator=(const HotKeyRegistry&) = delete;

    // A failed grab is reported on standard output and leaves no record; its id
    // is used up all the same. A key code beyond the int range or a modifier bit
    // other than the five known ones fails with 2 before reaching the backend.
    void registerShortcut(const Shortcut& shortcut, Callback onKeyDown, Callback onKeyUp);
    // Removes every record of the shortcut.
    void unregisterShortcut(const Shortcut& shortcut);
    // Grabs are held only while enabled, not recording and no menu is open;
    // while a menu holds the keyboard, its keys are matched instead.
    void update(bool enabled, bool menuOpen, bool recording);

    // Ids of the records in order, and whether a record's grab is held.
    QList<qint64> ids() const;
    bool isActive(qint64 id) const;

private:
    struct HotKey {
        Shortcut shortcut;
        bool active = false;
        Callback onKeyDown;
        Callback onKeyUp;
    };

    bool handle(const HotKeyEvent& event);
    void suspendAll();
    void registerAllSuspended();
    void reportFailure(const Shortcut& shortcut, int status) const;

    HotKeyBackend& m_backend;
    std::map<qint64, HotKey> m_hotKeys;
    qint64 m_lastId = 0;
    bool m_installed = false;
    bool m_rawKeys = false;
    bool m_enabled = true;
    bool m_menuOpen = false;
    bool m_recording = false;
    // Key code → id of the record whose press is still down, so the release
    // finds it even when the modifiers were let go first.
    QHash<int, qint64> m_down;
};

} // namespace KeyboardShortcuts
