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
// Declaring a name with a default stores the default when the user has never
// chosen anything for it; declaring it again later changes nothing. A name
// made later from the identifier alone (Name("openPanel")) takes over the
// default declared for it in this process, so that clearing it through any
// of its copies keeps the default from coming back.
class Name {
public:
    Name() = default;
    explicit Name(QString rawValue);
    // With nothing as the default, no declared default is taken over.
    Name(QString rawValue, std::optional<Shortcut> defaultShortcut);

    const QString& rawValue() const { return m_rawValue; }
    const std::optional<Shortcut>& defaultShortcut() const { return m_default; }

    std::optional<Shortcut> shortcut() const;
    void setShortcut(const std::optional<Shortcut>& shortcut) const;

    friend bool operator==(const Name& a, const Name& b) { return a.m_rawValue == b.m_rawValue; }

private:
    QString m_rawValue;
    std::optional<Shortcut> m_default;
};

inline size_t qHash(const Name& n, size_t seed = 0) {
    return qHash(n.rawValue(), seed);
}

} // namespace KeyboardShortcuts

Q_DECLARE_METATYPE(KeyboardShortcuts::Name)
