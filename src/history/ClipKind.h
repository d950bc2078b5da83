#pragma once

#include <QString>

#include <optional>

// What a history item holds; stored and compared by its text form.
enum class ClipKind { text, rtf, image, file, link };

QString clipKindText(ClipKind kind);
// Nothing for a text that names no kind (the comparison is case-sensitive).
std::optional<ClipKind> clipKindFromText(const QString& text);
