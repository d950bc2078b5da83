#include "platform/freedesktop/IniKeyEditor.h"

#include <QList>

namespace {
struct Line {
    QByteArray body; // without the line break
    QByteArray end;  // "\n", "\r\n" or "" for a last line without one
};

QList<Line> splitLines(const QByteArray& text) {
    QList<Line> lines;
    qsizetype from = 0;
    while (from < text.size()) {
        const qsizetype nl = text.indexOf('\n', from);
        if (nl < 0) {
            lines.append({text.mid(from), {}});
            break;
        }
        QByteArray body = text.mid(from, nl - from);
        QByteArray end("\n");
        if (body.endsWith('\r')) {
            body.chop(1);
            end = "\r\n";
        }
        lines.append({body, end});
        from = nl + 1;
    }
    return lines;
}

std::optional<QByteArray> sectionName(const QByteArray& body) {
    const QByteArray t = body.trimmed();
    if (t.startsWith('[') && t.endsWith(']'))
        return t.mid(1, t.size() - 2);
    return std::nullopt;
}

// The offset where the value starts when body assigns key, else -1.
qsizetype valueOffset(const QByteArray& body, const QByteArray& key) {
    const qsizetype eq = body.indexOf('=');
    if (eq < 0 || body.trimmed().startsWith('#') || body.trimmed().startsWith(';'))
        return -1;
    if (body.left(eq).trimmed() != key)
        return -1;
    qsizetype at = eq + 1;
    while (at < body.size() && (body[at] == ' ' || body[at] == '\t'))
        ++at;
    return at;
}
} // namespace

std::optional<QString> IniKeyEditor::value(const QByteArray& text, const QString& section,
                                           const QString& key) {
    const QByteArray wantedSection = section.toUtf8();
    const QByteArray wantedKey = key.toUtf8();
    QByteArray current;
    for (const Line& line : splitLines(text)) {
        if (auto name = sectionName(line.body)) {
            current = *name;
            continue;
        }
        if (!section.isEmpty() && current != wantedSection)
            continue;
        const qsizetype at = valueOffset(line.body, wantedKey);
        if (at >= 0)
            return QString::fromUtf8(line.body.mid(at)).trimmed();
    }
    return std::nullopt;
}

QByteArray IniKeyEditor::withValue(const QByteArray& text, const QString& section,
                                   const QString& key, const QString& value) {
    const QByteArray wantedSection = section.toUtf8();
    const QByteArray wantedKey = key.toUtf8();
    QList<Line> lines = splitLines(text);
    const QByteArray newline = text.contains("\r\n") ? QByteArray("\r\n") : QByteArray("\n");

    QByteArray current;
    qsizetype lastInSection = -1; // last non-blank line of the wanted section
    bool inWanted = section.isEmpty();
    bool sectionSeen = section.isEmpty();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        Line& line = lines[i];
        if (auto name = sectionName(line.body)) {
            current = *name;
            inWanted = section.isEmpty() || current == wantedSection;
            if (inWanted) {
                sectionSeen = true;
                lastInSection = i;
            }
            continue;
        }
        if (!inWanted)
            continue;
        const qsizetype at = valueOffset(line.body, wantedKey);
        if (at >= 0) {
            line.body = line.body.left(at) + value.toUtf8();
            QByteArray out;
            for (const Line& l : lines)
                out += l.body + l.end;
            return out;
        }
        if (!line.body.trimmed().isEmpty())
            lastInSection = i;
    }

    const QByteArray assignment = wantedKey + '=' + value.toUtf8();
    if (sectionSeen && lastInSection >= 0) {
        Line& anchor = lines[lastInSection];
        if (anchor.end.isEmpty())
            anchor.end = newline;
        lines.insert(lastInSection + 1, {assignment, newline});
    } else {
        if (!lines.isEmpty() && lines.last().end.isEmpty())
            lines.last().end = newline;
        if (!section.isEmpty()) {
            if (!lines.isEmpty() && !lines.last().body.trimmed().isEmpty())
                lines.append({{}, newline});
            lines.append({'[' + wantedSection + ']', newline});
        }
        lines.append({assignment, newline});
    }
    QByteArray out;
    for (const Line& l : lines)
        out += l.body + l.end;
    return out;
}

QByteArray IniKeyEditor::withoutKey(const QByteArray& text, const QString& section,
                                    const QString& key) {
    const QByteArray wantedSection = section.toUtf8();
    const QByteArray wantedKey = key.toUtf8();
    QByteArray out;
    QByteArray current;
    for (const Line& line : splitLines(text)) {
        if (auto name = sectionName(line.body))
            current = *name;
        else if ((section.isEmpty() || current == wantedSection) &&
                 valueOffset(line.body, wantedKey) >= 0)
            continue;
        out += line.body + line.end;
    }
    return out;
}
