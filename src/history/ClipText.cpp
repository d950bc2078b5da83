#include "history/ClipText.h"

#include <QRegularExpression>
#include <QTextBoundaryFinder>

bool ClipText::isLink(const QString& text) {
    // Unicode-aware \S, so a no-break or ideographic space also ends the address.
    static const QRegularExpression link(QStringLiteral("^https?://\\S+$"),
                                         QRegularExpression::UseUnicodePropertiesOption);
    return link.match(text.trimmed()).hasMatch();
}

QString ClipText::withoutTrailingNuls(QString text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QChar::Null)
        --end;
    text.truncate(end);
    return text;
}

bool ClipText::exceedsGraphemes(const QString& text, qsizetype limit) {
    // A cluster holds at least one UTF-16 unit: short text needs no counting.
    if (text.size() <= limit)
        return false;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype clusters = 0;
    while (finder.toNextBoundary() != -1) {
        if (++clusters > limit)
            return true;
    }
    return false;
}
