#include "platform/wayland/WaylandClipboardManager.h"

#include "platform/wayland/WaylandClipboard.h"

WaylandClipboardManager::WaylandClipboardManager(WaylandClipboard& clipboard, QObject* parent)
    : ClipboardManagerRole(parent)
    , m_clipboard(clipboard) {}

bool WaylandClipboardManager::claim() {
    if (!m_claimed) {
        m_claimed = true;
        // Queued: the clipboard reports from its own thread.
        connect(
            &m_clipboard, &WaylandClipboard::emptied, this,
            [this] {
                // Another offer may have come meanwhile.
                if (!m_clipboard.hasOffer())
                    Q_EMIT ownerGone();
            },
            Qt::QueuedConnection);
    }
    return true;
}

bool WaylandClipboardManager::clipboardHasOwner() {
    return m_clipboard.hasOffer();
}
