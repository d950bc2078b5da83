#pragma once

#include "platform/EvdevKeyCodes.h"
#include "platform/HotKeyBackend.h"

#include <QHash>
#include <QList>
#include <QSet>

// Unit tests run on the offscreen platform, where no X server exists to hold
// grabs; this backend records grab calls and lets a test feed key events. The
// real X11 backend is exercised under Xvfb in tst_x11hotkeys.
class FakeHotKeys : public HotKeyBackend {
public:
    struct Call {
        bool grab;
        int keyCode;
        int modifiers;
        friend bool operator==(const Call&, const Call&) = default;
    };

    int grab(int keyCode, int modifiers) override {
        calls.append({true, keyCode, modifiers});
        if (refused.contains(key(keyCode, modifiers)))
            return 10;
        held.insert(key(keyCode, modifiers));
        return 0;
    }
    void ungrab(int keyCode, int modifiers) override {
        calls.append({false, keyCode, modifiers});
        held.remove(key(keyCode, modifiers));
    }
    bool isAvailable(int keyCode, int modifiers) override {
        return !refused.contains(key(keyCode, modifiers));
    }
    std::optional<int> keyCodeForScanCode(quint32 scanCode) const override {
        return scanCode >= 8 ? keyCodeForEvdevCode(int(scanCode) - 8) : std::nullopt;
    }
    QString layoutCharacter(int keyCode) const override { return layout.value(keyCode); }

    bool send(bool press, int keyCode, int modifiers, bool raw = false) {
        return deliver(HotKeyEvent{press, keyCode, modifiers, raw});
    }
    bool isHeld(int keyCode, int modifiers) const { return held.contains(key(keyCode, modifiers)); }
    int grabCount() const {
        return int(std::count_if(calls.begin(), calls.end(), [](const Call& c) { return c.grab; }));
    }

    static qint64 key(int keyCode, int modifiers) { return (qint64(keyCode) << 32) | modifiers; }

    QList<Call> calls;
    QSet<qint64> held;
    QSet<qint64> refused;
    QHash<int, QString> layout;
};
