#include "platform/DefaultsStore.h"

#include <QJsonArray>

#include <cmath>

DefaultsStore::~DefaultsStore() = default;

bool DefaultsStore::boolForKey(const QString& key) const {
    const auto v = object(key);
    if (!v)
        return false;
    if (v->isBool())
        return v->toBool();
    if (v->isDouble())
        return v->toDouble() != 0.0;
    if (v->isString()) {
        const QString s = v->toString().trimmed();
        if (s.isEmpty())
            return false;
        const QChar c = s.front();
        if (c == u'Y' || c == u'y' || c == u'T' || c == u't')
            return true;
        if (c == u'+' || c == u'-' || c.isDigit()) {
            // Leading sign and zeros are skipped; any non-zero digit makes it true.
            for (QChar d : s.mid(c.isDigit() ? 0 : 1)) {
                if (!d.isDigit())
                    break;
                if (d != u'0')
                    return true;
            }
        }
    }
    return false;
}

std::optional<bool> DefaultsStore::typedBool(const QString& key) const {
    const auto v = object(key);
    if (!v)
        return std::nullopt;
    if (v->isBool())
        return v->toBool();
    // A number that is exactly 0 or 1 bridges to a Boolean; anything else does not.
    if (v->isDouble() && (v->toDouble() == 0.0 || v->toDouble() == 1.0))
        return v->toDouble() == 1.0;
    return std::nullopt;
}

std::optional<qint64> DefaultsStore::typedInteger(const QString& key) const {
    const auto v = object(key);
    if (!v || !v->isDouble())
        return std::nullopt;
    const double d = v->toDouble();
    // Only integers that are exactly representable; 2^63 itself is out of range.
    if (!std::isfinite(d) || std::trunc(d) != d || d < -9223372036854775808.0 ||
        d >= 9223372036854775808.0)
        return std::nullopt;
    return static_cast<qint64>(d);
}

std::optional<QString> DefaultsStore::typedString(const QString& key) const {
    const auto v = object(key);
    if (!v || !v->isString())
        return std::nullopt;
    return v->toString();
}

std::optional<QStringList> DefaultsStore::typedStringList(const QString& key) const {
    const auto v = object(key);
    if (!v || !v->isArray())
        return std::nullopt;
    QStringList out;
    for (const QJsonValue& e : v->toArray()) {
        if (!e.isString())
            return std::nullopt;
        out.append(e.toString());
    }
    return out;
}
