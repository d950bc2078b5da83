#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Reads and changes one key of an INI-style settings file (KConfig, QSettings
// and Xfce rc files alike) without disturbing any other byte: comments, key
// order, spacing and line endings of the rest of the file stay as they were.
class IniKeyEditor {
public:
    // An empty section means the first occurrence of key in any section.
    static std::optional<QString> value(const QByteArray& text, const QString& section,
                                        const QString& key);
    // Replaces the value in place, or adds the key at the end of its section
    // (creating the section at the end of the file when it is missing).
    static QByteArray withValue(const QByteArray& text, const QString& section, const QString& key,
                                const QString& value);
    // Drops the lines that assign key in section; everything else stays.
    static QByteArray withoutKey(const QByteArray& text, const QString& section,
                                 const QString& key);
};
