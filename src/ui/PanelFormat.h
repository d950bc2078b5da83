#pragma once

#include "history/ClipItem.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QUrl>

// Texts of the panel's rows and cells, as plain functions of their inputs.

// First line of a clip row.
QString clipRowTitle(const ClipItem& item);

// The name of the bundled symbol that stands for a kind of clip.
QString clipKindSymbol(ClipKind kind);

// Abbreviated time of `then` relative to `now`, such as "5 min. ago".
QString relativeTime(const QDateTime& then, const QDateTime& now);

// "Source · 5 min. ago", then "· downscaled" when the image was shrunk.
QString clipMetaText(const ClipItem& item, const QDateTime& now);

// "Today, 3:07 PM" for a time on now's calendar day, else "Mar 4, 3:07 PM".
QString screenshotDateText(const QDateTime& created, const QDateTime& now,
                           const QLocale& locale = QLocale());

// The date label of a screenshot file: its creation time, or its name
// without extension when that cannot be read.
QString screenshotDateLabel(const QUrl& file, const QDateTime& now);

// The last path component without its (last) extension.
QString baseNameOf(const QUrl& file);

// The file a row previews: filePath first, then blobPath; empty with neither.
QUrl clipFileURL(const ClipItem& item);
