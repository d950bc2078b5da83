#include "helpers/TestImages.h"

#include <QBuffer>
#include <QImage>
#include <QRandomGenerator>
#include <QtEndian>

namespace {
QByteArray be32(quint32 v) {
    QByteArray b(4, '\0');
    qToBigEndian(v, b.data());
    return b;
}

// A PNG chunk: length, type, body and the CRC-32 of type and body.
QByteArray chunk(const QByteArray& type, const QByteArray& body) {
    quint32 crc = 0xffffffffu;
    for (char ch : type + body) {
        crc ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return be32(quint32(body.size())) + type + body + be32(~crc);
}

QByteArray encode(int w, int h, QColor color, const char* format, bool noisy = false) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(color);
    for (int y = 0; noisy && y < h; ++y)
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(image.scanLine(y)), w);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}
} // namespace

QByteArray TestImages::png(int w, int h, bool noisy) {
    return encode(w, h, Qt::blue, "PNG", noisy);
}

QByteArray TestImages::tiff(int w, int h) {
    return encode(w, h, Qt::green, "TIFF");
}

QByteArray TestImages::pngBomb(int w, int h) {
    QByteArray ihdr = be32(quint32(w)) + be32(quint32(h));
    ihdr += QByteArray("\x01\x00\x00\x00\x00", 5); // 1 bit, grey, deflate, no filter, no interlace
    const QByteArray raw(qsizetype(h) * (1 + (w + 7) / 8), '\0');
    QByteArray zlib = qCompress(raw, 9).mid(4); // qCompress prefixes the length
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", ihdr) + chunk("IDAT", zlib) +
           chunk("IEND", {});
}

QByteArray TestImages::padded(const QByteArray& png, qsizetype size) {
    const qsizetype body = size - png.size() - 12;
    if (body < 0)
        return png;
    const qsizetype afterHeader = 8 + 25; // signature and IHDR
    return png.left(afterHeader) + chunk("quIl", QByteArray(body, 'q')) + png.mid(afterHeader);
}

QByteArray TestImages::truncatedPng() {
    const QByteArray whole = png(300, 300, true);
    return whole.left(whole.size() / 2);
}
