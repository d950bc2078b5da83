#pragma once

#include <QUrl>

// Small PNG previews of files (screenshots, copied files, stored image clips),
// kept in the "thumbs" folder of the application-support folder and named
// after the source's path and modification time, so a changed file gets a
// new preview and an unchanged one is never made twice.

// The cache file of a file, whether or not it exists yet.
QUrl thumbnailURL(const QUrl& file);

// Starts making the preview of source at target and returns at once; the PNG
// (at most 640 px on its longest side, owner-only) appears at target later,
// or never when nothing can preview the source.
void generateThumbnail(const QUrl& source, const QUrl& target);

// For tests and benchmarks: waits until every generation started so far has
// ended; false on timeout.
bool waitForThumbnails(int msecs);
