#include "platform/x11/X11Pasteboard.h"

#include "platform/PlatformLog.h"
#include "platform/x11/X11SelectionReader.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QThread>

namespace {
QClipboard* clipboard() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance())
               ? QGuiApplication::clipboard()
               : nullptr;
}

// Quillet's own offer, served from memory on the main thread (asking the X
// server for it would wait on this very thread). A worker asks the X server.
const QMimeData* ownOffer() {
    if (!QCoreApplication::instance() ||
        QThread::currentThread() != QCoreApplication::instance()->thread())
        return nullptr;
    QClipboard* cb = clipboard();
    if (!cb || !cb->ownsClipboard())
        return nullptr;
    return cb->mimeData(QClipboard::Clipboard);
}
} // namespace

X11Pasteboard::X11Pasteboard(QObject* parent)
    : SelectionPasteboard(parent)
    , m_reader(std::make_unique<X11SelectionReader>(kInactivityTimeout, kTransferCap)) {
    if (QClipboard* cb = clipboard())
        connect(cb, &QClipboard::dataChanged, this, &X11Pasteboard::onClipboardChanged);
}

X11Pasteboard::~X11Pasteboard() = default;

void X11Pasteboard::onClipboardChanged() {
    m_changeCount.fetch_add(1, std::memory_order_relaxed);
    Q_EMIT changed();
}

QStringList X11Pasteboard::offered() {
    if (const QMimeData* own = ownOffer()) {
        QStringList formats = own->formats();
        if (own->hasText())
            formats.append(QStringLiteral("UTF8_STRING"));
        return formats;
    }
    const qint64 change = changeCount();
    if (m_stalledChange == change || !m_reader->isValid())
        return {};
    // Every new offer moves the count, so one answer serves all reads of a change.
    if (m_targetsChange == change)
        return m_targets;
    X11SelectionReader::Failure failure = X11SelectionReader::Failure::none;
    const auto targets = m_reader->targets(&failure);
    if (!targets) {
        if (failure == X11SelectionReader::Failure::timedOut)
            m_stalledChange = change;
        return {};
    }
    m_targetsChange = change;
    m_targets = *targets;
    return m_targets;
}

std::optional<QByteArray> X11Pasteboard::fetch(const QString& target, qint64 maxBytes) {
    if (const QMimeData* own = ownOffer()) {
        if (target == QLatin1String("UTF8_STRING") && own->hasText())
            return own->text().toUtf8();
        if (!own->hasFormat(target))
            return std::nullopt;
        QByteArray bytes = own->data(target);
        if (bytes.size() > maxBytes)
            return std::nullopt;
        return bytes;
    }
    if (m_stalledChange == changeCount() || !m_reader->isValid())
        return std::nullopt;
    X11SelectionReader::Failure failure = X11SelectionReader::Failure::none;
    auto bytes = m_reader->read(target, maxBytes, &failure);
    if (failure == X11SelectionReader::Failure::timedOut) {
        qCDebug(platformLog) << "clipboard owner did not answer in time";
        m_stalledChange = changeCount();
    }
    return bytes;
}

void X11Pasteboard::clearContents() {
    if (QClipboard* cb = clipboard())
        cb->setMimeData(new QMimeData, QClipboard::Clipboard);
}

void X11Pasteboard::setMimeData(std::unique_ptr<QMimeData> mime) {
    if (QClipboard* cb = clipboard())
        cb->setMimeData(mime ? mime.release() : new QMimeData, QClipboard::Clipboard);
}
