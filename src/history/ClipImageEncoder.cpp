#include "history/ClipImageEncoder.h"

#include "history/HashingBuffer.h"
#include "platform/PngChunks.h"
#include "thumbnails/ThumbnailCache.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QImageReader>
#include <QImageWriter>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <tuple>
#include <utility>

namespace {
// Pictures whose pixels deflate barely shrinks (noise, grain, dithering) are
// stored uncompressed: on them the usual level spends three to four times as
// long as storing for a file at most a tenth smaller. A sample of rows, packed
// at the fastest level, decides, so the choice, and with it the bytes and
// their hash, depends on the pixels alone. Everything else keeps the usual
// level, and so the bytes and hash it has always had. Smaller pictures are
// not sampled: deciding would cost more than it saves.
constexpr qint64 kSampleFrom = 1024 * 1024;
constexpr int kBandRows = 2;
constexpr int kBandEvery = 64;
constexpr double kIncompressible = 0.9;
// Qt's PNG quality q is zlib level (100 - q) * 9 / 91.
constexpr int kStoredQuality = 100;
constexpr int kFastestQuality = 89;
constexpr int kUsualQuality = -1; // libpng's own default level

bool write(const QImage& image, int quality, QIODevice& out) {
    QImageWriter writer(&out, "png");
    writer.setQuality(quality);
    return writer.write(image);
}

// Room for incompressible pixels (which come out a little larger) spares the
// copies of a growing buffer; pages never written cost no memory.
qsizetype roomFor(const QImage& image) {
    return image.sizeInBytes() + image.sizeInBytes() / 64 + 4096;
}

std::optional<QByteArray> packed(const QImage& image, int quality) {
    QByteArray bytes;
    bytes.reserve(roomFor(image));
    QBuffer out(&bytes);
    if (!out.open(QIODevice::WriteOnly) || !write(image, quality, out))
        return std::nullopt;
    return bytes;
}

bool incompressible(const QImage& image) {
    if (image.sizeInBytes() < kSampleFrom)
        return false;
    int rows = 0;
    for (int y = 0; y < image.height(); y += kBandEvery)
        rows += std::min(kBandRows, image.height() - y);
    QImage sample(image.width(), rows, image.format());
    if (sample.isNull() || sample.bytesPerLine() != image.bytesPerLine())
        return false;
    sample.setColorTable(image.colorTable());
    int row = 0;
    for (int y = 0; y < image.height(); y += kBandEvery) {
        for (int i = 0; i < kBandRows && y + i < image.height(); ++i)
            std::memcpy(sample.scanLine(row++), image.constScanLine(y + i),
                        size_t(image.bytesPerLine()));
    }
    const auto fastest = packed(sample, kFastestQuality);
    const auto stored = packed(sample, kStoredQuality);
    return fastest && stored && double(fastest->size()) >= double(stored->size()) * kIncompressible;
}

int qualityFor(const QImage& image) {
    return incompressible(image) ? kStoredQuality : kUsualQuality;
}

// CPU time of the calling thread: a busy machine does not blur the figures.
struct Stopwatch {
    double start = now();
    static double now() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
    }
    double lap() {
        const double end = now();
        return end - std::exchange(start, end);
    }
};
} // namespace

std::optional<QByteArray> ClipImageEncoder::png(const QImage& image) {
    return packed(image, qualityFor(image));
}

std::optional<ClipImageEncoder::Result>
ClipImageEncoder::encode(QByteArray data, const QByteArray& format, Timings* timings) {
    Timings spent;
    Stopwatch clock;
    QBuffer buffer(&data);
    if (!buffer.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Even the header is not read when a chunk claims more than was offered:
    // the decoder would allocate what it claims.
    if (format == "png" &&
        (data.size() < 8 || !buffer.seek(8) || !PngChunks::lengthsFit(buffer) || !buffer.seek(0)))
        return std::nullopt;
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty() ||
        qint64(size.width()) * size.height() * 4 > kMaxDecodedBytes)
        return std::nullopt;

    Result result;
    result.downscaled = data.size() > kDownscaleAbove;
    if (result.downscaled) {
        const double scale =
            std::min(double(kDownscaledLongestSide) / std::max(size.width(), size.height()), 1.0);
        // Truncated toward zero, as the stored size is promised to be at most 2048.
        const QSize scaled(int(size.width() * scale), int(size.height() * scale));
        if (scaled.isEmpty())
            return std::nullopt;
        reader.setScaledSize(scaled);
    }
    // Decoded and scaled in one: the decoder's own scaling, which stored
    // pictures have always been made with (their hashes depend on it).
    QImage image = reader.read();
    buffer.close();
    // The offered bytes are not needed any more; a large picture should not
    // hold them through the encoding as well.
    data = QByteArray();
    if (image.isNull())
        return std::nullopt;
    // Stored with an alpha channel, whatever the source had; in place, as
    // both are four bytes a pixel.
    if (result.downscaled)
        image.convertTo(QImage::Format_RGBA8888);
    spent.decodeMs = clock.lap();

    HashingBuffer out(roomFor(image));
    if (!write(image, qualityFor(image), out))
        return std::nullopt;
    spent.encodeMs = clock.lap();

    QElapsedTimer wait;
    wait.start();
    std::tie(result.png, result.hash) = out.finish();
    spent.hashMs = double(wait.nsecsElapsed()) / 1e6;
    clock.lap();

    const QSize preview = ThumbnailCache::previewSize(image.size());
    result.preview = preview == image.size()
                         ? image
                         : image.scaled(preview, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    spent.previewMs = clock.lap();
    if (timings)
        *timings = spent;
    return result;
}
