#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Turns copied image bytes into the PNG the history stores. Pure and
// thread-safe: the monitor runs it on a worker thread.
namespace ClipImageEncoder {
// Payloads above this are scaled down before they are stored.
constexpr qint64 kDownscaleAbove = 20971520;
constexpr int kDownscaledLongestSide = 2048;
// Decoded bitmaps beyond this are refused from the header alone: a small
// file may claim a huge picture.
constexpr qint64 kMaxDecodedBytes = 256LL * 1024 * 1024;

struct Result {
    QByteArray png;
    QString hash; // SHA-256 of png, hex: hashing megabytes is worker work too
    bool downscaled = false;
};

// The PNG of data read as format ("png" or "tiff", never guessed from the
// content); nothing when the data cannot be decoded or encoded.
std::optional<Result> encode(const QByteArray& data, const QByteArray& format);
} // namespace ClipImageEncoder
