#pragma once

#include "platform/SelectionPasteboard.h"

class WaylandClipboard;

// The Wayland clipboard as Quillet's pasteboard. The change count moves with
// every new offer, Quillet's own included; an emptied clipboard is no change
// (there is nothing to record), only the clipboard-manager role hears of it.
// Reads may run on the main thread or one worker at a time; once a transfer
// of a change stalls, nothing more is asked of that owner until the next
// change, so a stuck owner costs one wait, not one per read.
class WaylandPasteboard : public SelectionPasteboard {
    Q_OBJECT
public:
    explicit WaylandPasteboard(WaylandClipboard& clipboard, QObject* parent = nullptr);

    qint64 changeCount() const override;
    void clearContents() override;
    void setMimeData(std::unique_ptr<QMimeData> mime) override;

protected:
    QStringList offered() override;
    std::optional<QByteArray> fetch(const QString& name, qint64 maxBytes) override;

private:
    WaylandClipboard& m_clipboard;
    std::atomic<qint64> m_stalledChange{-1};
};
