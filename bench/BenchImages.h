#pragma once

#include <QColor>
#include <QFileInfo>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>
#include <QString>

#include <algorithm>
#include <cmath>

// Pictures as other applications offer them, fresh content on every call so
// that no copy is taken for one already in the history.
namespace BenchImages {
// Random pixels: nothing for deflate to find.
inline QImage noise(QSize size) {
    QImage image(size, QImage::Format_ARGB32);
    auto* rng = QRandomGenerator::global();
    for (int y = 0; y < image.height(); ++y)
        rng->fillRange(reinterpret_cast<quint32*>(image.scanLine(y)), image.width());
    return image;
}

// A desktop: a gradient bar, windows of flat colour with lines of text-like
// marks, and a photo-like area of smooth shapes with grain.
inline QImage screenshot(QSize size) {
    const int w = size.width();
    const int h = size.height();
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(228, 230, 235));
    auto* rng = QRandomGenerator::global();
    QPainter p(&image);
    QLinearGradient bar(0, 0, w, 0);
    bar.setColorAt(0, QColor(40, 60, 120));
    bar.setColorAt(1, QColor(120, 40, 90));
    p.fillRect(0, 0, w, std::max(24, h / 40), bar);
    for (int k = 0; k < 8; ++k) {
        const QRect win(rng->bounded(w / 2), rng->bounded(h / 2), w / 4 + rng->bounded(w / 3),
                        h / 4 + rng->bounded(h / 3));
        p.fillRect(win, Qt::white);
        p.fillRect(win.x(), win.y(), win.width(), 28, QColor(205, 208, 214));
        for (int y = win.y() + 40; y < win.bottom() - 16; y += 18) {
            for (int x = win.x() + 10; x < win.right() - 40;) {
                const int glyph = 4 + rng->bounded(9);
                if (rng->bounded(7) != 0)
                    p.fillRect(x, y + rng->bounded(3), glyph, 4 + rng->bounded(8),
                               QColor(30, 30, 40));
                x += glyph + 2;
            }
        }
    }
    p.end();
    const QRect photo(w / 12, h / 4, w * 3 / 4, h * 2 / 3);
    for (int y = photo.top(); y <= photo.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = photo.left(); x <= photo.right(); ++x) {
            const int v = 128 + int(60 * std::sin(x / 37.0) + 40 * std::cos(y / 23.0));
            const int grain = rng->bounded(24);
            line[x] = qRgb(std::clamp(v + grain, 0, 255), std::clamp(v / 2 + grain, 0, 255),
                           std::clamp(255 - v + grain, 0, 255));
        }
    }
    return image;
}

// Saves a picture of about `bytes` as PNG at path and returns its pixel size:
// noise uncompressed, a screenshot with the usual compression, made larger
// until its file is about that big (or its bitmap 120 MB, as Qt refuses to
// decode more than 128 MB by default); `size` is that of
// an earlier call, or empty.
inline QSize save(bool isNoise, qint64 bytes, const QString& path, QSize size = {}) {
    if (isNoise) {
        // Four bytes a pixel at 4:3.
        const int w = int(std::sqrt(bytes / 4.0 * 4 / 3));
        const QSize size(w, int(bytes / 4 / w));
        noise(size).save(path, "PNG", 100);
        return size;
    }
    if (!size.isEmpty()) {
        screenshot(size).save(path, "PNG");
        return size;
    }
    size = QSize(1600, 1000);
    for (int attempt = 0; attempt < 4; ++attempt) {
        screenshot(size).save(path, "PNG");
        const double ratio = double(bytes) / double(QFileInfo(path).size());
        const double most = std::sqrt(120e6 / 4 / size.width() / size.height());
        if ((ratio > 0.85 && ratio < 1.15) || most < 1.01)
            break;
        size = (QSizeF(size) * std::min(std::sqrt(ratio), most)).toSize();
    }
    return size;
}
} // namespace BenchImages
