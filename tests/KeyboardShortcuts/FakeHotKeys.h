#pragma once

#include "platform/EvdevKeyCodes.h"
#include "platform/HotKeyBackend.h"

#include <QHash>
#include <QSet>

// Unit tests run on the offscreen platform, where no X server exists to hold
// grabs; this backend records grabs and lets a test feed key events. The real
// X11 backend is exercised under Xvfb in tst_x11hotkeys and tst_recorder.
class FakeHotKeys : public HotKeyBackend {
public:
    int grab(int keyCode, int modifiers) override {
        ++grabs;
        if (refused.contains(key(keyCode, modifiers)))
            return 10;
        held.insert(key(keyCode, modifiers));
        return 0;
    }
    void ungrab(int keyCode, int modifiers) override { held.remove(key(keyCode, modifiers)); }
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

    static qint64 key(int keyCode, int modifiers) { return (qint64(keyCode) << 32) | modifiers; }

    int grabs = 0;
    QSet<qint64> held;
    QSet<qint64> refused;
    QHash<int, QString> layout;
};
