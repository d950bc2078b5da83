#pragma once

#include "history/ClipItem.h"

#include <QList>
#include <QMimeData>
#include <QUrl>

#include <memory>

// What other applications are offered for a history item or a file, by copy
// and by drag alike, so a drop receives exactly what a paste would.
namespace ClipMime {
// Everything the item is offered as: text (UTF-8 under both text names) and
// its RTF side file; an image as PNG and TIFF; files as references. Nothing
// when its side file, or every one of its files, is gone.
std::unique_ptr<QMimeData> forItem(const ClipItem& item);
// File references: the URI list, the file managers' copied-files form, and
// the paths as plain text, one per line.
std::unique_ptr<QMimeData> forFiles(const QList<QUrl>& urls);
// One URL: a local file as forFiles, another URL as URI list and text.
std::unique_ptr<QMimeData> forUrl(const QUrl& url);
// A screenshot: its file reference, plus the image itself for PNG files.
std::unique_ptr<QMimeData> forScreenshot(const QUrl& url);
} // namespace ClipMime
