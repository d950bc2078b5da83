#include "platform/null/MemoryPasteboard.h"

QStringList MemoryPasteboard::types() {
    const QMutexLocker lock(&m_mutex);
    QStringList types;
    for (const PasteboardRepresentation& r : m_item)
        types << r.first;
    return types;
}

std::optional<QByteArray> MemoryPasteboard::data(const QString& type, qint64 maxBytes) {
    const QMutexLocker lock(&m_mutex);
    for (const PasteboardRepresentation& r : m_item) {
        if (r.first != type)
            continue;
        // Like a real transfer, an over-long offer is refused rather than cut.
        if (r.second.size() > maxBytes)
            return std::nullopt;
        return r.second;
    }
    return std::nullopt;
}

std::optional<QString> MemoryPasteboard::string() {
    for (const QString& type : {PasteboardType::string, PasteboardType::plainText}) {
        if (const std::optional<QByteArray> bytes = data(type))
            return QString::fromUtf8(*bytes);
    }
    return std::nullopt;
}

std::optional<QList<QUrl>> MemoryPasteboard::fileUrls() {
    const std::optional<QByteArray> list = data(PasteboardType::fileUrl);
    if (!list)
        return std::nullopt;
    QList<QUrl> urls;
    for (const QByteArray& line : list->split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith('#'))
            continue;
        const QUrl url = QUrl::fromEncoded(trimmed);
        if (url.isLocalFile())
            urls << url;
    }
    if (urls.isEmpty())
        return std::nullopt;
    return urls;
}

void MemoryPasteboard::clearContents() {
    {
        const QMutexLocker lock(&m_mutex);
        m_item.clear();
        ++m_changeCount;
    }
    Q_EMIT changed();
}

void MemoryPasteboard::writeItem(const QList<PasteboardRepresentation>& representations) {
    {
        const QMutexLocker lock(&m_mutex);
        m_item = representations;
        ++m_changeCount;
    }
    Q_EMIT changed();
}
