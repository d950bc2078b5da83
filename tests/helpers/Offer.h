#pragma once

#include <QList>
#include <QMimeData>
#include <QPair>

#include <memory>

// A clipboard offer of the given formats and bytes, in this order.
using OfferFormats = QList<QPair<QString, QByteArray>>;
inline std::unique_ptr<QMimeData> offer(const OfferFormats& formats) {
    auto mime = std::make_unique<QMimeData>();
    for (const auto& [type, bytes] : formats)
        mime->setData(type, bytes);
    return mime;
}
