#pragma once

#include "platform/ClipboardManagerRole.h"

#include <QList>

#include <cstdint>
#include <memory>

class X11Connection;
struct xcb_connection_t;

// The clipboard-manager part on X11, on Quillet's own X connection: XFixes
// reports when the owner of CLIPBOARD goes away (its window destroyed or its
// connection closed), and owning CLIPBOARD_MANAGER makes applications that
// quit ask first (the SAVE_TARGETS conversion of the freedesktop convention).
// Main thread only.
class X11ClipboardManager : public ClipboardManagerRole {
    Q_OBJECT
public:
    // Works on `display`, which must outlive it, and reads its events there.
    explicit X11ClipboardManager(X11Connection& display, QObject* parent = nullptr);
    // The same on a connection of its own to $DISPLAY.
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

    void setUp();
    // One event of the connection (an xcb_generic_event_t).
    void handle(const void* event);
    void answerRequest(const Request& request, bool ok);
    uint32_t owner(uint32_t selection);

    std::unique_ptr<X11Connection> m_ownDisplay;
    X11Connection* m_display = nullptr;
    // Null when the display cannot be reached.
    xcb_connection_t* m_conn = nullptr;
    int m_subscription = 0;
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
