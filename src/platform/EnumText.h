#pragma once

#include <QMetaEnum>
#include <QString>

#include <optional>

// The text form of an enum registered with Q_ENUM / Q_ENUM_NS: its
// enumerator's name, as stored in settings, the history and debug commands.
template <typename E> QString enumText(E value) {
    return QString::fromLatin1(QMetaEnum::fromType<E>().valueToKey(static_cast<int>(value)));
}

// Nothing for a text that names no enumerator (the comparison is
// case-sensitive; a scoped "Type::name" is refused too).
template <typename E> std::optional<E> enumFromText(const QString& text) {
    if (text.isEmpty() || text.contains(QLatin1Char(':')))
        return std::nullopt;
    bool ok = false;
    const int value = QMetaEnum::fromType<E>().keyToValue(text.toLatin1().constData(), &ok);
    if (!ok)
        return std::nullopt;
    return static_cast<E>(value);
}
