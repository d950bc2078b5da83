#include "platform/null/MemoryPasteboard.h"

QStringList MemoryPasteboard::types() {
    const QMutexLocker lock(&m_mutex);
    QStringList types;
    for (const auto& r : m_item)
        types << r.first;
    return types;
}

std::optional<QByteArray> MemoryPasteboard::data(const QString& type, qint64 maxBytes) {
    const QMutexLocker lock(&m_mutex);
    for (const auto& r : m_item) {
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
    return list ? parseFileUrls(*list) : std::nullopt;
}

void MemoryPasteboard::clearContents() {
    {
        const QMutexLocker lock(&m_mutex);
        m_item.clear();
        ++m_changeCount;
    }
    Q_EMIT changed();
}

void MemoryPasteboard::setMimeData(std::unique_ptr<QMimeData> mime) {
    QList<QPair<QString, QByteArray>> item;
    if (mime) {
        const QStringList formats = mime->formats();
        for (const QString& format : formats)
            item.append({format, mime->data(format)});
    }
    {
        const QMutexLocker lock(&m_mutex);
        m_item = std::move(item);
        ++m_changeCount;
    }
    Q_EMIT changed();
}
