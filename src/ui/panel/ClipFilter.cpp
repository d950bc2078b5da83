#include "ui/panel/ClipFilter.h"

#include <QCoreApplication>
#include <QStringList>

namespace {
QString haystack(const ClipItem& item) {
    QStringList parts;
    for (const auto* field : {&item.text, &item.filePath, &item.sourceApp, &item.sourceName}) {
        if (field->has_value())
            parts << **field;
    }
    return parts.join(QLatin1Char(' ')).toLower();
}
} // namespace

ClipItemList filterClips(const ClipItemList& items, const QString& query,
                         QHash<qint64, QString>* haystacks) {
    const QString q = query.toLower();
    if (q.isEmpty())
        return items;
    // Only the space separates: a tab stays part of its token.
    const QStringList tokens = q.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (tokens.isEmpty())
        return items;
    ClipItemList kept;
    for (const ClipItem& item : items) {
        QString hay;
        if (haystacks) {
            auto it = haystacks->find(item.id);
            if (it == haystacks->end())
                it = haystacks->insert(item.id, haystack(item));
            hay = *it;
        } else {
            hay = haystack(item);
        }
        bool all = true;
        for (const QString& token : tokens) {
            if (!hay.contains(token)) {
                all = false;
                break;
            }
        }
        if (all)
            kept << item;
    }
    return kept;
}

QList<ClipListEntry> clipSections(const ClipItemList& filtered) {
    QList<ClipListEntry> pinned;
    QList<ClipListEntry> rest;
    for (const ClipItem& item : filtered) {
        ClipListEntry entry;
        entry.item = item;
        (item.pinned ? pinned : rest) << entry;
    }
    if (pinned.isEmpty())
        return rest;
    QList<ClipListEntry> out;
    out.reserve(pinned.size() + rest.size() + 2);
    ClipListEntry header;
    header.type = ClipListEntry::Type::header;
    header.header = QCoreApplication::translate("ClipFilter", "PINNED");
    out << header << pinned;
    header.header = QCoreApplication::translate("ClipFilter", "HISTORY");
    header.spaceAbove = true;
    out << header << rest;
    return out;
}
