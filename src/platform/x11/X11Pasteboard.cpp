#include "platform/x11/X11Pasteboard.h"

#include "platform/PlatformLog.h"
#include "platform/x11/X11SelectionReader.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QThread>

namespace {
const QString kKdePasswordHint = QStringLiteral("x-kde-passwordManagerHint");
const QString kKdePasswordHintText = QStringLiteral("text/x-kde-passwordManagerHint");

// Text names in order of preference; STRING is Latin-1 by convention, the rest UTF-8.
const QStringList kTextTargets = {QStringLiteral("UTF8_STRING"), PasteboardType::string,
                                  PasteboardType::plainText, QStringLiteral("STRING"),
                                  QStringLiteral("TEXT")};
const QStringList kRtfTargets = {PasteboardType::rtf, QStringLiteral("application/rtf"),
                                 QStringLiteral("text/richtext")};
const QStringList kFileTargets = {PasteboardType::fileUrl, PasteboardType::gnomeCopiedFiles};

bool offersAny(const QStringList& offered, const QStringList& names) {
    for (const QString& n : names) {
        if (offered.contains(n))
            return true;
    }
    return false;
}

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
    : Pasteboard(parent)
    , m_reader(std::make_unique<X11SelectionReader>(kInactivityTimeout, kTransferCap)) {
    if (QClipboard* cb = clipboard())
        connect(cb, &QClipboard::dataChanged, this, &X11Pasteboard::onClipboardChanged);
}

X11Pasteboard::~X11Pasteboard() = default;

void X11Pasteboard::onClipboardChanged() {
    m_changeCount.fetch_add(1, std::memory_order_relaxed);
    Q_EMIT changed();
}

QStringList X11Pasteboard::normalizedTypes(const QStringList& offered) {
    QStringList types = offered;
    auto add = [&](const QString& name) {
        if (!types.contains(name))
            types.append(name);
    };
    if (offersAny(offered, kTextTargets))
        add(PasteboardType::string);
    if (offersAny(offered, kRtfTargets))
        add(PasteboardType::rtf);
    if (offersAny(offered, kFileTargets))
        add(PasteboardType::fileUrl);
    // The password managers of the Linux desktops mark their copies this way.
    if (offersAny(offered, {kKdePasswordHint, kKdePasswordHintText}))
        add(PasteboardType::concealed);
    return types;
}

bool X11Pasteboard::isConcealed(const QStringList& offered) {
    return offersAny(offered, {PasteboardType::concealed, kKdePasswordHint, kKdePasswordHintText});
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

QStringList X11Pasteboard::types() {
    return normalizedTypes(offered());
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

std::optional<QByteArray> X11Pasteboard::fetchFirst(const QStringList& candidates, qint64 maxBytes,
                                                    QString* used) {
    const QStringList offer = offered();
    // A secret is never transferred, whoever asks.
    if (isConcealed(offer))
        return std::nullopt;
    for (const QString& name : candidates) {
        if (!offer.contains(name))
            continue;
        if (auto bytes = fetch(name, maxBytes)) {
            if (used)
                *used = name;
            return bytes;
        }
    }
    return std::nullopt;
}

std::optional<QByteArray> X11Pasteboard::data(const QString& type, qint64 maxBytes) {
    maxBytes = std::min(maxBytes, kMaxDataBytes);
    if (type == PasteboardType::rtf)
        return fetchFirst(kRtfTargets, maxBytes);
    if (type == PasteboardType::string || type == PasteboardType::plainText) {
        auto text = string();
        if (!text || text->toUtf8().size() > maxBytes)
            return std::nullopt;
        return text->toUtf8();
    }
    if (type == PasteboardType::fileUrl)
        return fetchFirst(kFileTargets, maxBytes);
    return fetchFirst({type}, maxBytes);
}

std::optional<QString> X11Pasteboard::string() {
    QString used;
    const auto bytes = fetchFirst(kTextTargets, kMaxTextBytes, &used);
    if (!bytes)
        return std::nullopt;
    if (used == QLatin1String("STRING"))
        return QString::fromLatin1(*bytes);
    return QString::fromUtf8(*bytes);
}

std::optional<QList<QUrl>> X11Pasteboard::fileUrls() {
    const auto bytes = fetchFirst(kFileTargets, kMaxTextBytes);
    if (!bytes)
        return std::nullopt;
    return parseFileUrls(*bytes);
}

void X11Pasteboard::clearContents() {
    if (QClipboard* cb = clipboard())
        cb->setMimeData(new QMimeData, QClipboard::Clipboard);
}

void X11Pasteboard::setMimeData(std::unique_ptr<QMimeData> mime) {
    if (QClipboard* cb = clipboard())
        cb->setMimeData(mime ? mime.release() : new QMimeData, QClipboard::Clipboard);
}
