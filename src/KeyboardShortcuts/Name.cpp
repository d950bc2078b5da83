#include "KeyboardShortcuts/Name.h"

#include "KeyboardShortcuts/KeyboardShortcuts.h"

namespace KeyboardShortcuts {

namespace detail {
void declare(const Name& name);
std::optional<Shortcut> declaredDefault(const QString& rawValue);
} // namespace detail

Name::Name(QString rawValue)
    : m_rawValue(std::move(rawValue))
    , m_default(detail::declaredDefault(m_rawValue)) {
    detail::declare(*this);
}

Name::Name(QString rawValue, std::optional<Shortcut> defaultShortcut)
    : m_rawValue(std::move(rawValue))
    , m_default(defaultShortcut) {
    detail::declare(*this);
}

std::optional<Shortcut> Name::shortcut() const {
    return getShortcut(*this);
}

void Name::setShortcut(const std::optional<Shortcut>& shortcut) const {
    KeyboardShortcuts::setShortcut(shortcut, *this);
}

} // namespace KeyboardShortcuts
