#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// A file in the freedesktop key-file format that desktop entries, autostart
// entries and thumbnailer descriptions share: [Group] headers, Key=Value
// lines, # comments, localized keys (Name[de_DE]), the escapes \s \n \t \r
// and a doubled backslash, and lists separated by ';' (with \; for a literal
// one). Read-only; the first assignment of a key in a group counts.
class DesktopEntryFile {
public:
    // Files larger than this are not read: no entry is anywhere near it.
    static constexpr qint64 kMaxBytes = 1024 * 1024;

    static DesktopEntryFile parse(const QByteArray& text);
    // Nothing when the file cannot be read (or exceeds kMaxBytes).
    static std::optional<DesktopEntryFile> read(const QString& path);

    bool hasGroup(const QString& group) const;
    // The value with its escapes resolved.
    std::optional<QString> string(const QString& group, const QString& key) const;
    // The value for the language of `locale` (lang_COUNTRY.ENCODING@MODIFIER
    // or a part of it; empty: the messages language of the environment),
    // falling back as gettext does, then to the unlocalized key.
    std::optional<QString> localeString(const QString& group, const QString& key,
                                        const QString& locale = {}) const;
    // Nothing unless the value is true or false.
    std::optional<bool> boolean(const QString& group, const QString& key) const;
    QStringList stringList(const QString& group, const QString& key) const;

    // The messages language the environment asks for (LC_ALL, LC_MESSAGES, LANG).
    static QString messagesLocale();

private:
    std::optional<QString> raw(const QString& group, const QString& key) const;

    // group → key (with its [locale] suffix) → raw value
    QHash<QString, QHash<QString, QString>> m_groups;
};
