#pragma once

#include <QByteArray>

// Image files for tests, built in memory.
namespace TestImages {
// Of w × h pixels; a noisy PNG does not compress.
QByteArray png(int w, int h, bool noisy = false);
QByteArray tiff(int w, int h);
// A valid PNG whose header claims w × h one-bit pixels: a few hundred KB that
// would decode to gigabytes.
QByteArray pngBomb(int w, int h);
// The PNG with a private ancillary chunk added, so the file is exactly size bytes.
QByteArray padded(const QByteArray& png, qsizetype size);
// A PNG cut off in the middle of its pixel data.
QByteArray truncatedPng();
} // namespace TestImages
