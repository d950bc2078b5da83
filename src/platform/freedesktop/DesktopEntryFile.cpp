#include "platform/freedesktop/DesktopEntryFile.h"

#include <QFile>

namespace {
QString unescape(QStringView raw) {
    QString out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c != u'\\' || i + 1 >= raw.size()) {
            out += c;
            continue;
        }
        switch (raw[++i].unicode()) {
        case 's':
            out += u' ';
            break;
        case 'n':
            out += u'\n';
            break;
        case 't':
            out += u'\t';
            break;
        case 'r':
            out += u'\r';
            break;
        default: // \\, and \; inside lists
            out += raw[i];
        }
    }
    return out;
}
} // namespace

DesktopEntryFile DesktopEntryFile::parse(const QByteArray& text) {
    DesktopEntryFile file;
    QHash<QString, QString>* group = nullptr;
    for (const QByteArray& bytes : text.split('\n')) {
        const QString line = QString::fromUtf8(bytes).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            group = &file.m_groups[line.mid(1, line.size() - 2)];
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (!group || eq <= 0)
            continue;
        const QString key = line.left(eq).trimmed();
        if (!group->contains(key))
            group->insert(key, line.mid(eq + 1).trimmed());
    }
    return file;
}

std::optional<DesktopEntryFile> DesktopEntryFile::read(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() > kMaxBytes)
        return std::nullopt;
    return parse(f.read(kMaxBytes));
}

bool DesktopEntryFile::hasGroup(const QString& group) const {
    return m_groups.contains(group);
}

std::optional<QString> DesktopEntryFile::raw(const QString& group, const QString& key) const {
    const auto g = m_groups.constFind(group);
    if (g == m_groups.constEnd())
        return std::nullopt;
    const auto v = g->constFind(key);
    if (v == g->constEnd())
        return std::nullopt;
    return *v;
}

std::optional<QString> DesktopEntryFile::string(const QString& group, const QString& key) const {
    const auto value = raw(group, key);
    return value ? std::optional<QString>(unescape(*value)) : std::nullopt;
}

std::optional<QString> DesktopEntryFile::localeString(const QString& group, const QString& key,
                                                      const QString& locale) const {
    // lang_COUNTRY.ENCODING@MODIFIER is tried as lang_COUNTRY@MODIFIER,
    // lang_COUNTRY, lang@MODIFIER, lang; the encoding plays no part.
    QString name = locale.isEmpty() ? messagesLocale() : locale;
    QString modifier;
    if (const qsizetype at = name.indexOf(u'@'); at >= 0) {
        modifier = name.mid(at);
        name.truncate(at);
    }
    if (const qsizetype dot = name.indexOf(u'.'); dot >= 0)
        name.truncate(dot);
    const QString language = name.section(u'_', 0, 0);
    if (!language.isEmpty()) {
        const QString candidates[] = {name + modifier, name, language + modifier, language};
        for (const QString& candidate : candidates) {
            if (const auto value = string(group, key + u'[' + candidate + u']'))
                return value;
        }
    }
    return string(group, key);
}

std::optional<bool> DesktopEntryFile::boolean(const QString& group, const QString& key) const {
    const auto value = raw(group, key);
    if (!value)
        return std::nullopt;
    if (value->compare(u"true", Qt::CaseInsensitive) == 0)
        return true;
    if (value->compare(u"false", Qt::CaseInsensitive) == 0)
        return false;
    return std::nullopt;
}

QStringList DesktopEntryFile::stringList(const QString& group, const QString& key) const {
    const auto value = raw(group, key);
    if (!value)
        return {};
    QStringList items;
    qsizetype from = 0;
    auto take = [&](qsizetype end) {
        const QString item = unescape(QStringView(*value).mid(from, end - from));
        if (!item.isEmpty())
            items.append(item);
    };
    for (qsizetype i = 0; i < value->size(); ++i) {
        if (value->at(i) == u'\\' && i + 1 < value->size()) {
            ++i; // an escaped character, \; included, does not end an item
        } else if (value->at(i) == u';') {
            take(i);
            from = i + 1;
        }
    }
    take(value->size());
    return items;
}

QString DesktopEntryFile::messagesLocale() {
    // The language of messages as gettext chooses it: LANGUAGE (its first
    // entry), then LC_ALL, LC_MESSAGES and LANG; LANGUAGE is ignored while the
    // locale is plain C.
    const QByteArray language = qgetenv("LANGUAGE").split(':').value(0);
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QByteArray value = qgetenv(name);
        if (value.isEmpty())
            continue;
        if (value == "C" || value == "POSIX" || value.startsWith("C."))
            return {};
        return QString::fromLocal8Bit(language.isEmpty() ? value : language);
    }
    return {};
}
