#pragma once

#include "history/ClipKind.h"

#include <QList>
#include <QMetaType>
#include <QString>

#include <optional>

// One remembered clipboard entry: a plain value, read from the database and
// copied freely; a change goes to the store, which publishes a fresh list.
struct ClipItem {
    qint64 id = 0;
    ClipKind kind = ClipKind::text;
    std::optional<QString> text = {};
    std::optional<QString> rtfPath = {};
    std::optional<QString> blobPath = {};
    std::optional<QString> filePath = {};
    std::optional<QString> thumbPath = {};
    std::optional<QString> sourceApp = {};
    std::optional<QString> sourceName = {};
    double createdAt = 0; // seconds since 1970-01-01 UTC
    bool pinned = false;
    bool downscaled = false;

    friend bool operator==(const ClipItem&, const ClipItem&) = default;
};

using ClipItemList = QList<ClipItem>;

Q_DECLARE_METATYPE(ClipItem)
