#include "KeyboardShortcuts/Shortcut.h"

#include "KeyboardShortcuts/KeyNaming.h"
#include "platform/HotKeyBackend.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <array>
#include <climits>
#include <cmath>
#include <utility>

namespace KeyboardShortcuts {

namespace {

constexpr std::array<std::pair<quint32, qint64>, 5> kModifierBits{{
    {ModifierFlag::control, CarbonModifier::control},
    {ModifierFlag::option, CarbonModifier::option},
    {ModifierFlag::shift, CarbonModifier::shift},
    {ModifierFlag::command, CarbonModifier::command},
    {ModifierFlag::function, CarbonModifier::function},
}};

std::optional<qint64> integerMember(const QJsonObject& object, const char* key) {
    const QJsonValue v = object.value(QLatin1String(key));
    if (!v.isDouble())
        return std::nullopt;
    const double d = v.toDouble();
    if (std::trunc(d) != d || std::fabs(d) > 9007199254740992.0)
        return std::nullopt;
    return qint64(d);
}

} // namespace

qint64 carbonModifiersFromFlags(quint32 flags) {
    qint64 result = 0;
    for (const auto& [flag, bit] : kModifierBits) {
        if (flags & flag)
            result |= bit;
    }
    return result;
}

quint32 flagsFromCarbonModifiers(qint64 carbonModifiers) {
    quint32 result = 0;
    for (const auto& [flag, bit] : kModifierBits) {
        if (carbonModifiers & bit)
            result |= flag;
    }
    return result;
}

Shortcut Shortcut::fromKeyEvent(int keyCode, quint32 modifierFlags) {
    return Shortcut(keyCode, carbonModifiersFromFlags(modifierFlags & ~ModifierFlag::function));
}

QString Shortcut::description(const HotKeyBackend& keyboard) const {
    QString keyText;
    if (carbonKeyCode < 0 || carbonKeyCode > INT_MAX)
        keyText = QString(QChar(0xFFFD)); // no key: it must not pass for the key it wraps to
    else if (const auto special = specialKeyForKeyCode(int(carbonKeyCode)))
        keyText = specialKeyDisplayText(*special);
    else {
        keyText = keyboard.layoutCharacter(int(carbonKeyCode));
        if (keyText.isEmpty())
            keyText = QString(QChar(0xFFFD));
        keyText = keyText.toUpper();
    }
    return modifierSymbols(modifiers()) + keyText;
}

std::optional<QString> Shortcut::menuKeyEquivalent(const HotKeyBackend& keyboard) const {
    if (carbonKeyCode < 0 || carbonKeyCode > INT_MAX)
        return std::nullopt;
    if (const auto special = specialKeyForKeyCode(int(carbonKeyCode)))
        return specialKeyMenuEquivalent(*special);
    const QString c = keyboard.layoutCharacter(int(carbonKeyCode));
    if (c.isEmpty())
        return std::nullopt;
    return c;
}

QByteArray Shortcut::toJson() const {
    // Written by hand to keep the member order stable in the stored text.
    return QByteArray("{\"carbonKeyCode\":") + QByteArray::number(carbonKeyCode) +
           QByteArray(",\"carbonModifiers\":") + QByteArray::number(carbonModifiers) + '}';
}

std::optional<Shortcut> Shortcut::fromJson(const QByteArray& json) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    const auto code = integerMember(doc.object(), "carbonKeyCode");
    const auto modifiers = integerMember(doc.object(), "carbonModifiers");
    if (!code || !modifiers)
        return std::nullopt;
    return Shortcut(*code, *modifiers);
}

} // namespace KeyboardShortcuts
