#pragma once

#include "platform/ClipboardManagerRole.h"

#include <QList>

#include <cstdint>

struct xcb_connection_t;
class QSocketNotifier;

// The clipboard-manager part on X11, on a connection of its own: XFixes
// reports when the owner of CLIPBOARD goes away (its window destroyed or its
// connection closed), and owning CLIPBOARD_MANAGER makes applications that
// quit ask first (the SAVE_TARGETS conversion of the freedesktop convention).
// Main thread only.
class X11ClipboardManager : public ClipboardManagerRole {
    Q_OBJECT
public:
    explicit X11ClipboardManager(QObject* parent = nullptr);
    ~X11ClipboardManager() override;

    bool claim() override;
    bool isClaimed() const override { return m_claimed; }
    bool clipboardHasOwner() override;
    void finishSave(bool saved) override;

private:
    struct Request {
        uint32_t requestor = 0;
        uint32_t selection = 0;
        uint32_t target = 0;
        uint32_t property = 0;
        uint32_t time = 0;
    };

    void processEvents();
    // One event of the connection (an xcb_generic_event_t).
    void handle(const void* event);
    void answerRequest(const Request& request, bool ok);
    uint32_t atom(const char* name);
    uint32_t serverTime();
    uint32_t owner(uint32_t selection);

    xcb_connection_t* m_conn = nullptr;
    QSocketNotifier* m_notifier = nullptr;
    uint32_t m_window = 0;
    uint32_t m_clipboard = 0;
    uint32_t m_manager = 0;
    uint32_t m_saveTargets = 0;
    uint32_t m_targets = 0;
    uint32_t m_timestamp = 0;
    uint32_t m_claimTime = 0;
    uint8_t m_xfixesEvent = 0;
    bool m_hasXfixes = false;
    bool m_claimed = false;
    QList<Request> m_pendingSaves;
};
