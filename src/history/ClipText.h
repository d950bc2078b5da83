#pragma once

#include <QString>

// How copied text is judged before it is recorded.
namespace ClipText {
// Longer text (in user-perceived characters) is not recorded.
constexpr qsizetype kMaxGraphemes = 1000000;

// True when the text, without surrounding white space, is one http(s) address
// and nothing else. The scheme is matched case-sensitively.
bool isLink(const QString& text);

// True when the text has more than limit extended grapheme clusters.
bool exceedsGraphemes(const QString& text, qsizetype limit = kMaxGraphemes);
} // namespace ClipText
