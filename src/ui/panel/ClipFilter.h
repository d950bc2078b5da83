#pragma once

#include "history/ClipItem.h"

#include <QHash>
#include <QList>
#include <QString>

// The clipboard tab's search and its split into pinned items and history.

// Items whose haystack (text, file path, source app id and name) contains
// every space-separated token of the query, case-insensitively, in store order.
// `haystacks`, when given, keeps each item's lower-cased haystack by id
// between calls, so typing does not rebuild them for every keystroke.
ClipItemList filterClips(const ClipItemList& items, const QString& query,
                         QHash<qint64, QString>* haystacks = nullptr);

// One line of the clip list: a section header or a clip row.
struct ClipListEntry {
    enum class Type { header, clip };
    Type type = Type::clip;
    QString header;          // "PINNED" or "HISTORY"
    bool spaceAbove = false; // the history header after the pinned rows
    ClipItem item;
};

// Headers appear only when something is pinned; the history header is then
// shown even when no unpinned item passed the filter.
QList<ClipListEntry> clipSections(const ClipItemList& filtered);
