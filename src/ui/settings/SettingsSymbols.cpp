#include "ui/settings/SettingsSymbols.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QtMath>

namespace {
// Every symbol is drawn in a 24 × 24 box.
QPainterPath gear() {
    QPainterPath body;
    body.addEllipse(QPointF(12, 12), 7.2, 7.2);
    for (int i = 0; i < 8; ++i) {
        QPainterPath tooth;
        tooth.addRoundedRect(QRectF(10.2, 1.6, 3.6, 5), 1, 1);
        QTransform t;
        t.translate(12, 12);
        t.rotate(i * 45.0);
        t.translate(-12, -12);
        body = body.united(t.map(tooth));
    }
    QPainterPath hole;
    hole.addEllipse(QPointF(12, 12), 3, 3);
    return body.subtracted(hole);
}

void paintSymbol(QPainter& p, const QString& name, const QColor& color) {
    QPen pen(color, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    if (name == QLatin1String("gearshape.fill")) {
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawPath(gear());
    } else if (name == QLatin1String("photo")) {
        p.drawRoundedRect(QRectF(2.5, 4.5, 19, 15), 2.5, 2.5);
        p.drawEllipse(QPointF(8.5, 9.5), 1.6, 1.6);
        p.drawPolyline(QPolygonF({{3, 18}, {9, 13}, {13, 16.5}, {16, 13.5}, {21, 18}}));
    } else if (name == QLatin1String("paperclip")) {
        QPainterPath clip;
        clip.moveTo(16.5, 7);
        clip.lineTo(16.5, 16.5);
        clip.arcTo(QRectF(7.5, 12, 9, 9), 0, -180);
        clip.lineTo(7.5, 6);
        clip.arcTo(QRectF(7.5, 2.5, 6.5, 6.5), 180, -180);
        clip.lineTo(14, 15.5);
        clip.arcTo(QRectF(10, 13.5, 4, 4), 0, -180);
        clip.lineTo(10, 7.5);
        p.drawPath(clip);
    } else if (name == QLatin1String("keyboard")) {
        p.drawRoundedRect(QRectF(1.5, 5.5, 21, 13), 2.5, 2.5);
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        for (int row = 0; row < 2; ++row)
            for (int col = 0; col < 6; ++col)
                p.drawRect(QRectF(4.2 + col * 2.85, 8.2 + row * 3, 1.6, 1.6));
        p.drawRoundedRect(QRectF(7.5, 14.4, 9, 1.7), 0.8, 0.8);
    } else if (name == QLatin1String("info.circle")) {
        p.drawEllipse(QPointF(12, 12), 9.5, 9.5);
        p.drawLine(QPointF(12, 11), QPointF(12, 16.5));
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawEllipse(QPointF(12, 7.6), 1.2, 1.2);
    } else if (name == QLatin1String("minus.circle")) {
        p.drawEllipse(QPointF(12, 12), 9.5, 9.5);
        p.drawLine(QPointF(7.5, 12), QPointF(16.5, 12));
    }
}
} // namespace

namespace SettingsSymbols {
QPixmap pixmap(const QString& name, int size, const QColor& color, qreal devicePixelRatio) {
    QPixmap pm(qCeil(size * devicePixelRatio), qCeil(size * devicePixelRatio));
    pm.setDevicePixelRatio(devicePixelRatio);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 24.0, size / 24.0);
    paintSymbol(p, name, color);
    return pm;
}

QIcon icon(const QString& name, int size, const QColor& color) {
    QIcon result;
    result.addPixmap(pixmap(name, size, color, 1));
    result.addPixmap(pixmap(name, size, color, 2));
    return result;
}
} // namespace SettingsSymbols
