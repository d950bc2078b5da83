#include "KeyboardShortcuts/Name.h"

namespace KeyboardShortcuts {

namespace {
const QString kPrefix = QStringLiteral("KeyboardShortcuts_");
} // namespace

QString storageKey(const Name& name) {
    return kPrefix + name.rawValue();
}

std::optional<Name> nameForStorageKey(const QString& key) {
    if (!key.startsWith(kPrefix))
        return std::nullopt;
    return Name(key.mid(kPrefix.size()));
}

} // namespace KeyboardShortcuts
