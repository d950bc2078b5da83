#include "history/ClipImageEncoder.h"

#include "platform/PngChunks.h"
#include "thumbnails/Sha256.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>

#include <algorithm>

std::optional<ClipImageEncoder::Result> ClipImageEncoder::encode(const QByteArray& data,
                                                                 const QByteArray& format) {
    QByteArray bytes = data; // shared, not copied
    QBuffer buffer(&bytes);
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
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    if (result.downscaled)
        image = image.convertToFormat(QImage::Format_RGBA8888);

    QBuffer out(&result.png);
    if (!out.open(QIODevice::WriteOnly))
        return std::nullopt;
    QImageWriter writer(&out, "png");
    if (!writer.write(image))
        return std::nullopt;
    result.hash = sha256Hex(result.png);
    return result;
}
