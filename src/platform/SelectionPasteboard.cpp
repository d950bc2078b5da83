#include "platform/SelectionPasteboard.h"

namespace {
const QString kKdePasswordHint = QStringLiteral("x-kde-passwordManagerHint");
const QString kKdePasswordHintText = QStringLiteral("text/x-kde-passwordManagerHint");
const QString kUtf8String = QStringLiteral("UTF8_STRING");

// Text names in order of preference; STRING is Latin-1 by convention, the rest UTF-8.
const QStringList kTextTargets = {kUtf8String, PasteboardType::string, PasteboardType::plainText,
                                  QStringLiteral("STRING"), QStringLiteral("TEXT")};
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
} // namespace

QStringList SelectionPasteboard::normalizedTypes(const QStringList& offered) {
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

bool SelectionPasteboard::isConcealed(const QStringList& offered) {
    return offersAny(offered, {PasteboardType::concealed, kKdePasswordHint, kKdePasswordHintText});
}

QStringList SelectionPasteboard::withTextAliases(const QStringList& formats) {
    QStringList names = formats;
    if (offersAny(formats, {PasteboardType::string, PasteboardType::plainText})) {
        // Only the UTF-8 names: STRING promises Latin-1.
        for (const QString& alias : {PasteboardType::string, PasteboardType::plainText, kUtf8String,
                                     QStringLiteral("TEXT")}) {
            if (!names.contains(alias))
                names.append(alias);
        }
    }
    return names;
}

QStringList SelectionPasteboard::types() {
    return normalizedTypes(offered());
}

std::optional<QByteArray> SelectionPasteboard::fetchFirst(const QStringList& candidates,
                                                          qint64 maxBytes, QString* used) {
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

std::optional<QByteArray> SelectionPasteboard::data(const QString& type, qint64 maxBytes) {
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

std::optional<QString> SelectionPasteboard::string() {
    QString used;
    const auto bytes = fetchFirst(kTextTargets, kMaxTextBytes, &used);
    if (!bytes)
        return std::nullopt;
    if (used == QLatin1String("STRING"))
        return QString::fromLatin1(*bytes);
    return QString::fromUtf8(*bytes);
}

std::optional<QList<QUrl>> SelectionPasteboard::fileUrls() {
    const auto bytes = fetchFirst(kFileTargets, kMaxTextBytes);
    if (!bytes)
        return std::nullopt;
    return parseFileUrls(*bytes);
}
