#include "platform/wayland/WaylandPasteboard.h"

#include "platform/PlatformLog.h"
#include "platform/wayland/WaylandClipboard.h"

#include <QMimeData>

WaylandPasteboard::WaylandPasteboard(WaylandClipboard& clipboard, QObject* parent)
    : SelectionPasteboard(parent)
    , m_clipboard(clipboard) {
    // Queued: the clipboard reports from its own thread.
    connect(&m_clipboard, &WaylandClipboard::changed, this, &Pasteboard::changed,
            Qt::QueuedConnection);
}

qint64 WaylandPasteboard::changeCount() const {
    return m_clipboard.changeCount();
}

QStringList WaylandPasteboard::offered() {
    if (m_stalledChange.load() == changeCount())
        return {};
    return m_clipboard.offeredTypes();
}

std::optional<QByteArray> WaylandPasteboard::fetch(const QString& name, qint64 maxBytes) {
    const qint64 change = changeCount();
    if (m_stalledChange.load() == change)
        return std::nullopt;
    WaylandClipboard::Failure failure = WaylandClipboard::Failure::none;
    auto bytes = m_clipboard.receive(name, maxBytes, &failure);
    if (failure == WaylandClipboard::Failure::timedOut) {
        qCDebug(platformLog) << "clipboard owner did not answer in time";
        m_stalledChange = change;
    }
    return bytes;
}

void WaylandPasteboard::clearContents() {
    // An offer of nothing: the clipboard is Quillet's and empty, which other
    // managers do not mistake for an owner that went away.
    m_clipboard.offer({});
}

void WaylandPasteboard::setMimeData(std::unique_ptr<QMimeData> mime) {
    WaylandClipboard::Item item;
    if (mime) {
        for (const QString& format : mime->formats())
            item.insert(format, mime->data(format));
    }
    m_clipboard.offer(std::move(item));
}
