#pragma once

#include "KeyboardShortcuts/Shortcut.h"

#include <QHashFunctions>
#include <QMetaType>
#include <QString>

#include <optional>

namespace KeyboardShortcuts {

// A named, user-configurable global shortcut. The name is stable: it is the
// suffix of the defaults key "KeyboardShortcuts_<name>". Names compare by their
// identifier only.
//
//   const Name openPanel(QStringLiteral("openPanel"),
//                        Shortcut(Key::v, ModifierFlag::command | ModifierFlag::shift));
//
// A name is a plain value. The Center that first sees a name with a default
// stores that default when the user has never chosen anything for it, and
// remembers it: a name made later from the identifier alone (Name("openPanel"))
// then shares it, so that clearing it through any of its copies keeps the
// default from coming back.
class Name {
public:
    Name() = default;
    explicit Name(QString rawValue, std::optional<Shortcut> defaultShortcut = std::nullopt)
        : m_rawValue(std::move(rawValue))
        , m_default(defaultShortcut) {}

    const QString& rawValue() const { return m_rawValue; }
    const std::optional<Shortcut>& defaultShortcut() const { return m_default; }

    friend bool operator==(const Name& a, const Name& b) { return a.m_rawValue == b.m_rawValue; }

private:
    QString m_rawValue;
    std::optional<Shortcut> m_default;
};

inline size_t qHash(const Name& n, size_t seed = 0) {
    return qHash(n.rawValue(), seed);
}

// The defaults key of a name: "KeyboardShortcuts_" + name.
QString storageKey(const Name& name);
// The name (without a default) whose defaults key this is, if it is one.
std::optional<Name> nameForStorageKey(const QString& key);

} // namespace KeyboardShortcuts

Q_DECLARE_METATYPE(KeyboardShortcuts::Name)
