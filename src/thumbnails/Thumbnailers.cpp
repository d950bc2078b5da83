#include "thumbnails/Thumbnailers.h"

#include "platform/freedesktop/DesktopEntryFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace {
bool programExists(const QString& program) {
    if (program.contains(QLatin1Char('/')))
        return QFileInfo(program).isExecutable();
    return !QStandardPaths::findExecutable(program).isEmpty();
}

// Splits an Exec line into words, honouring double quotes and backslash escapes.
std::optional<QStringList> splitExec(const QString& exec) {
    QStringList words;
    QString word;
    bool quoted = false;
    bool inWord = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (quoted && c == QLatin1Char('\\') && i + 1 < exec.size()) {
            word += exec[++i];
        } else if (c == QLatin1Char('"')) {
            quoted = !quoted;
            inWord = true;
        } else if (!quoted && c.isSpace()) {
            if (inWord)
                words.append(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quoted)
        return std::nullopt;
    if (inWord)
        words.append(word);
    return words;
}
} // namespace

Thumbnailers::Thumbnailers(const QStringList& dataDirs) {
    QStringList seen;
    for (const QString& dir : dataDirs) {
        const QDir folder(dir + QStringLiteral("/thumbnailers"));
        const QStringList files =
            folder.entryList({QStringLiteral("*.thumbnailer")}, QDir::Files, QDir::Name);
        for (const QString& name : files) {
            // A file in an earlier folder hides one of the same name later.
            if (seen.contains(name))
                continue;
            seen.append(name);
            const auto file = DesktopEntryFile::read(folder.filePath(name));
            const QString group = QStringLiteral("Thumbnailer Entry");
            if (!file || !file->hasGroup(group))
                continue;
            Entry entry;
            entry.exec = file->string(group, QStringLiteral("Exec")).value_or(QString());
            entry.mimeTypes = file->stringList(group, QStringLiteral("MimeType"));
            const QString tryExec =
                file->string(group, QStringLiteral("TryExec")).value_or(QString());
            const auto words = splitExec(entry.exec);
            if (!words || words->isEmpty() || entry.mimeTypes.isEmpty())
                continue;
            if (!programExists(tryExec.isEmpty() ? words->first() : tryExec))
                continue;
            m_entries.append(entry);
        }
    }
}

QStringList Thumbnailers::standardDataDirs() {
    return QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
}

std::optional<QString> Thumbnailers::commandFor(const QMimeType& mime) const {
    if (!mime.isValid())
        return std::nullopt;
    for (const Entry& entry : m_entries) {
        for (const QString& type : entry.mimeTypes) {
            if (mime.inherits(type))
                return entry.exec;
        }
    }
    return std::nullopt;
}

QStringList Thumbnailers::expand(const QString& exec, const QString& input, const QString& output,
                                 int size) {
    const auto words = splitExec(exec);
    if (!words || words->isEmpty())
        return {};
    QStringList args;
    for (const QString& word : *words) {
        QString expanded;
        for (qsizetype i = 0; i < word.size(); ++i) {
            if (word[i] != QLatin1Char('%') || i + 1 >= word.size()) {
                expanded += word[i];
                continue;
            }
            switch (word[++i].unicode()) {
            case 'i':
                expanded += input;
                break;
            case 'u':
                expanded += QString::fromUtf8(QUrl::fromLocalFile(input).toEncoded());
                break;
            case 'o':
                expanded += output;
                break;
            case 's':
                expanded += QString::number(size);
                break;
            case '%':
                expanded += QLatin1Char('%');
                break;
            default:
                break;
            }
        }
        args.append(expanded);
    }
    return args;
}
