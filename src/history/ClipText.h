#pragma once

#include <QString>

// How copied text is judged before it is recorded.
namespace ClipText {
// Longer text (in user-perceived characters) is not recorded.
constexpr qsizetype kMaxGraphemes = 1000000;

// True when the text, without surrounding white space, is one http(s) address
// and nothing else. The scheme is matched case-sensitively.
bool isLink(const QString& text);

// The text without the NUL characters some applications end their offers
// with (C strings handed over with their terminator): kept, they would show
// as a missing-character box, be pasted into other programs, and make the
// same text copied elsewhere a second history row.
QString withoutTrailingNuls(QString text);

// True when the text has more than limit extended grapheme clusters.
bool exceedsGraphemes(const QString& text, qsizetype limit = kMaxGraphemes);
} // namespace ClipText
