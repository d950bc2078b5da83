#pragma once

#include "platform/HotKeyBackend.h"

// No global shortcuts in this session, for the reason given: nothing is
// grabbed, and keys are named as the US layout names them (by the shortcut
// module's virtual key codes), so recorded shortcuts still read right.
class NullHotKeys : public HotKeyBackend {
public:
    explicit NullHotKeys(QString reason)
        : m_reason(std::move(reason)) {}

    int grab(int, int) override { return -1; }
    void ungrab(int, int) override {}
    bool isAvailable(int, int) override { return false; }
    std::optional<int> keyCodeForScanCode(quint32) const override { return std::nullopt; }
    QString layoutCharacter(int keyCode) const override;
    QString unavailableReason() const override { return m_reason; }

    // The key's character in the US layout; empty for keys that type none.
    static QString usCharacter(int keyCode);

private:
    QString m_reason;
};
