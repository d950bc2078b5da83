#pragma once

#include "platform/ClipboardManagerRole.h"

class WaylandClipboard;

// The clipboard-manager part on Wayland: when the clipboard becomes empty
// because its owner went away, the compositor says so to every data-control
// client. Wayland has no request to keep a quitting application's clipboard,
// so saveRequested never comes; the part is Quillet's as soon as it sees the
// clipboard.
class WaylandClipboardManager : public ClipboardManagerRole {
    Q_OBJECT
public:
    explicit WaylandClipboardManager(WaylandClipboard& clipboard, QObject* parent = nullptr);

    bool claim() override;
    bool isClaimed() const override { return m_claimed; }
    bool clipboardHasOwner() override;
    void finishSave(bool) override {}

private:
    WaylandClipboard& m_clipboard;
    bool m_claimed = false;
};
