#pragma once

#include <QList>
#include <QMimeType>
#include <QString>
#include <QStringList>

#include <optional>

// The freedesktop thumbnailers installed on the machine
// (thumbnailers/*.thumbnailer in the XDG data folders): programs that turn a
// file of some MIME type into a PNG preview. Read once; immutable afterwards,
// so it may be used from any thread.
class Thumbnailers {
public:
    // The thumbnailers of the given data folders, by default $XDG_DATA_HOME
    // and $XDG_DATA_DIRS.
    explicit Thumbnailers(const QStringList& dataDirs = standardDataDirs());
    static QStringList standardDataDirs();

    // The Exec line of the first thumbnailer for the type or a type it inherits from.
    std::optional<QString> commandFor(const QMimeType& mime) const;

    // The program and its arguments with %i %u %o %s %% filled in; empty when malformed.
    static QStringList expand(const QString& exec, const QString& input, const QString& output,
                              int size);

private:
    struct Entry {
        QString exec;
        QStringList mimeTypes;
    };
    QList<Entry> m_entries;
};
