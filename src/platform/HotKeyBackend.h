#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>
#include <optional>

// One key press or release seen by a hot-key backend, in the shortcut module's
// own numbering: the virtual key code and the modifier mask with command 0x100,
// shift 0x200, option 0x800, control 0x1000 and function 0x20000.
struct HotKeyEvent {
    bool press = true;
    int keyCode = 0;
    int modifiers = 0;
    // False for a press caught by one of our system-wide grabs; true for a key
    // that reached one of our own windows (a menu or popup holding the keyboard).
    bool raw = false;
};

// System-wide key grabs of one window system. The backend only translates:
// which grabs exist, what they mean and who is told is decided by the caller.
class HotKeyBackend {
public:
    virtual ~HotKeyBackend();

    // Grabs the combination everywhere on the desktop. Returns 0 on success,
    // otherwise the window system's status (10 when another client holds it,
    // 2 for a combination it has no key or modifier for, -1 when this session
    // offers no global grabs at all).
    virtual int grab(int keyCode, int modifiers) = 0;
    virtual void ungrab(int keyCode, int modifiers) = 0;

    // True when no other client holds the combination (a test grab succeeds).
    virtual bool isAvailable(int keyCode, int modifiers) = 0;

    // The virtual key code of a key event's native scan code, if the key has one.
    virtual std::optional<int> keyCodeForScanCode(quint32 scanCode) const = 0;

    // The character the current keyboard layout gives the key at its base level
    // without modifiers; empty when there is none.
    virtual QString layoutCharacter(int keyCode) const = 0;

    // Why this session offers no system-wide shortcuts, for the user; empty
    // where grabs work.
    virtual QString unavailableReason() const { return {}; }

    // Where the desktop decides which keys trigger a shortcut (the portal on
    // Wayland), no combination can be recorded here. desktopTrigger() is the
    // desktop's own text for the keys of the grabbed shortcut, empty until it
    // has said; changeDesktopTrigger() asks it to let the user pick others.
    virtual bool desktopAssignsKeys() const { return false; }
    virtual QString desktopTrigger() const { return {}; }
    virtual bool canChangeDesktopTrigger() const { return false; }
    virtual void changeDesktopTrigger() {}

    // Called after the desktop's trigger, whether it can be changed, or the
    // unavailable reason changed.
    void setChangeHandler(std::function<void()> handler) { m_changed = std::move(handler); }

    // The handler sees every key event the backend catches and returns true when
    // it consumed the event (it then reaches no window).
    void setEventHandler(std::function<bool(const HotKeyEvent&)> handler) {
        m_handler = std::move(handler);
    }

    // The backend of the running session: X11 under the xcb platform, otherwise
    // one that refuses every grab.
    static std::unique_ptr<HotKeyBackend> createForPlatform();

protected:
    // A Wayland desktop passes keys to X11 clients only while one of their
    // windows has focus: grabs there are accepted and then never fire.
    static bool isWaylandSession();
    static QString waylandReason();

    bool deliver(const HotKeyEvent& event) { return m_handler && m_handler(event); }
    void notifyChanged() {
        if (m_changed)
            m_changed();
    }

private:
    std::function<bool(const HotKeyEvent&)> m_handler;
    std::function<void()> m_changed;
};
