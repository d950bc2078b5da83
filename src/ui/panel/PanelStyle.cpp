#include "ui/panel/PanelStyle.h"

#include "ui/Palette.h"

#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QSvgRenderer>
#include <QWidget>

static void initPanelResources() {
    Q_INIT_RESOURCE(panel);
}

namespace {
qreal pointsPerPixel() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return 72.0 / (dpi > 0 ? dpi : 96.0);
}

QString iconPath(const QString& name) {
    static const bool loaded = (initPanelResources(), true);
    Q_UNUSED(loaded)
    return QStringLiteral(":/icons/%1.svg").arg(name);
}
} // namespace

namespace PanelStyle {

QFont font(qreal pixelSize, QFont::Weight weight) {
    QFont f = QGuiApplication::font();
    f.setPointSizeF(pixelSize * pointsPerPixel());
    f.setWeight(weight);
    return f;
}

QFont monoFont(qreal pixelSize) {
    QFont f(QStringLiteral("monospace"));
    f.setStyleHint(QFont::Monospace);
    f.setPointSizeF(pixelSize * pointsPerPixel());
    return f;
}

QPixmap symbol(const QString& name, const QColor& color, qreal pixelSize, qreal dpr) {
    using Key = QString;
    static QHash<Key, QPixmap> cache;
    const Key key = QStringLiteral("%1|%2|%3|%4")
                        .arg(name, color.name(QColor::HexArgb))
                        .arg(pixelSize)
                        .arg(dpr);
    if (auto it = cache.constFind(key); it != cache.constEnd())
        return *it;
    const int side = qMax(1, qRound(pixelSize * dpr));
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(iconPath(name));
    if (renderer.isValid()) {
        QPainter p(&image);
        renderer.render(&p, QRectF(0, 0, side, side));
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.fillRect(image.rect(), color);
    }
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(dpr);
    cache.insert(key, pixmap);
    return pixmap;
}

void drawSymbol(QPainter& painter, const QRectF& rect, const QString& name, const QColor& color,
                qreal pixelSize) {
    const qreal dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QPixmap pm = symbol(name, color, pixelSize, dpr);
    const QRectF target(rect.center().x() - pixelSize / 2, rect.center().y() - pixelSize / 2,
                        pixelSize, pixelSize);
    painter.drawPixmap(target, pm, QRectF(pm.rect()));
}

void drawFocusRing(QPainter& painter, const QRectF& rect) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Palette::cyan(), 1));
    painter.setBrush(Qt::NoBrush);
    const QRectF r = rect.adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = qMin<qreal>(6, r.height() / 2);
    painter.drawRoundedRect(r, radius, radius);
    painter.restore();
}

const QImage& sky() {
    static const QImage image = [] {
        initPanelResources();
        return QImage(QStringLiteral(":/sky.png"));
    }();
    return image;
}

void styleScrollBar(QWidget* scrollArea) {
    scrollArea->setStyleSheet(
        QStringLiteral(
            "QScrollBar:vertical { background: transparent; width: %1px; margin: 2px 0; }"
            "QScrollBar::handle:vertical { background: rgba(255,255,255,70); border-radius: 3px;"
            " min-height: 24px; }"
            "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
            "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }")
            .arg(scrollBarWidth));
}

void drawShadow(QPainter& painter, const QRectF& rect, qreal radius, qreal opacity, qreal blur,
                qreal dy) {
    painter.save();
    painter.setPen(Qt::NoPen);
    const int steps = qMax(1, qRound(blur));
    for (int i = steps; i >= 1; --i) {
        const qreal grow = blur * i / steps;
        QColor c(0, 0, 0);
        c.setAlphaF(float(opacity / steps));
        painter.setBrush(c);
        painter.drawRoundedRect(rect.adjusted(-grow / 2, -grow / 2 + dy, grow / 2, grow / 2 + dy),
                                radius + grow / 2, radius + grow / 2);
    }
    painter.restore();
}

} // namespace PanelStyle
