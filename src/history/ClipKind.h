#pragma once

#include <QObject>
#include <QString>

#include <optional>

namespace Clips {
Q_NAMESPACE
// What a history item holds; stored and compared by its text form, the
// enumerator's name.
enum class Kind { text, rtf, image, file, link };
Q_ENUM_NS(Kind)
} // namespace Clips

using ClipKind = Clips::Kind;

QString clipKindText(ClipKind kind);
// Nothing for a text that names no kind (the comparison is case-sensitive).
std::optional<ClipKind> clipKindFromText(const QString& text);
