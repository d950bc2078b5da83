#include "history/ClipKind.h"

#include "platform/EnumText.h"

QString clipKindText(ClipKind kind) {
    return enumText(kind);
}

std::optional<ClipKind> clipKindFromText(const QString& text) {
    return enumFromText<ClipKind>(text);
}
