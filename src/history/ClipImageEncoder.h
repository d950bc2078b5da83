#pragma once

#include <QByteArray>
#include <QImage>
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
    // The stored picture at preview size: its preview is made from this, not
    // by decoding the PNG just written.
    QImage preview;
};

// Where one encode's time went, for the benchmark: CPU milliseconds of the
// encoding thread, but for the hash, which runs alongside the encoding and
// counts as the wall time waited for it after. Decoding includes the scaling
// down of a picture that is too large.
struct Timings {
    double decodeMs = 0;
    double encodeMs = 0;
    double hashMs = 0;
    double previewMs = 0;
};

// The PNG of data read as format ("png" or "tiff", never guessed from the
// content); nothing when the data cannot be decoded or encoded. The bytes are
// let go as soon as they are decoded.
std::optional<Result> encode(QByteArray data, const QByteArray& format, Timings* timings = nullptr);

// The stored PNG of a picture. Deterministic, as the history's hash is taken
// from it, and a fixed point: decoding it and encoding again gives the same
// bytes, so a picture that was just scaled down is encoded once, not twice.
std::optional<QByteArray> png(const QImage& image);
} // namespace ClipImageEncoder
