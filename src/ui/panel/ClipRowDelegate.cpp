#include "ui/panel/ClipRowDelegate.h"

#include "ui/Palette.h"
#include "ui/PanelFormat.h"
#include "ui/panel/ClipListModel.h"
#include "ui/panel/PanelStyle.h"

#include <QDateTime>
#include <QFontMetricsF>
#include <QHash>
#include <QIcon>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>

namespace {
constexpr int padX = 8;
constexpr int padY = 6;
constexpr int iconSide = 34;
constexpr int spacing = 10;
constexpr int button = 16;
constexpr int minSpacer = 4;

QFont titleFont() {
    static const QFont f = PanelStyle::font(12.5, QFont::Medium);
    return f;
}
QFont metaFont() {
    static const QFont f = PanelStyle::font(10.5);
    return f;
}
QFont headerFont() {
    static const QFont f = [] {
        QFont font = PanelStyle::font(10, QFont::Bold);
        font.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
        return font;
    }();
    return f;
}
qreal lineHeight(const QFont& f) {
    return QFontMetricsF(f).height();
}

// Thumbnails are content-addressed files, so a cached decode stays right
// for as long as the path exists; decoding on every repaint would stall
// scrolling through long histories.
QPixmap thumbnail(const QString& path, qreal dpr) {
    const QString key = QStringLiteral("cliprow:") + path;
    QPixmap pm;
    if (QPixmapCache::find(key, &pm))
        return pm;
    QImageReader reader(path);
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > 10000LL * 10000LL)
        return {};
    const int side = qRound(iconSide * dpr);
    reader.setScaledSize(QSize(side, side));
    const QImage image = reader.read();
    if (image.isNull())
        return {};
    pm = QPixmap::fromImage(image);
    pm.setDevicePixelRatio(dpr);
    QPixmapCache::insert(key, pm);
    return pm;
}

} // namespace

ClipRowDelegate::ClipRowDelegate(QObject* parent)
    : QStyledItemDelegate(parent) {}

QRect ClipRowDelegate::deleteButtonRect(const QRect& row) {
    return QRect(row.right() + 1 - padX - button, row.center().y() - button / 2, button, button);
}

QRect ClipRowDelegate::pinButtonRect(const QRect& row, bool hovering) {
    const QRect del = deleteButtonRect(row);
    return hovering ? del.translated(-(button + spacing), 0) : del;
}

int ClipRowDelegate::titleWidth() const {
    // Room is kept for both buttons so that hovering never rewraps a title.
    return qMax(40, m_rowWidth - 2 * padX - iconSide - spacing - minSpacer - 2 * button - spacing);
}

QSize ClipRowDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const {
    if (index.data(ClipListModel::IsHeaderRole).toBool()) {
        const auto* model = static_cast<const ClipListModel*>(index.model());
        const int extra = model->entry(index.row()).spaceAbove ? 8 : 0;
        return QSize(m_rowWidth, qCeil(lineHeight(headerFont())) + 2 + extra);
    }
    const auto* model = static_cast<const ClipListModel*>(index.model());
    const int lines = int(model->titleLines(index.row(), titleFont(), titleWidth()).size());
    const qreal text = lines * lineHeight(titleFont()) + 2 + lineHeight(metaFont());
    return QSize(m_rowWidth, qCeil(qMax<qreal>(iconSide, text)) + 2 * padY);
}

void ClipRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (index.data(ClipListModel::IsHeaderRole).toBool()) {
        paintHeader(*painter, option.rect, index);
    } else {
        const auto* model = static_cast<const ClipListModel*>(index.model());
        paintClip(*painter, option.rect, *model, index.row(), m_hovered == index);
    }
    painter->restore();
}

void ClipRowDelegate::paintHeader(QPainter& p, const QRect& rect, const QModelIndex& index) const {
    p.setFont(headerFont());
    p.setPen(Palette::textDim());
    const QRect text = rect.adjusted(6, 0, -6, -2);
    p.drawText(text, Qt::AlignLeft | Qt::AlignBottom, index.data().toString());
}

void ClipRowDelegate::paintClip(QPainter& p, const QRect& rect, const ClipListModel& model, int row,
                                bool hovering) const {
    const ClipItem& item = model.entry(row).item;
    if (hovering) {
        p.setPen(Qt::NoPen);
        p.setBrush(Palette::fill());
        p.drawRoundedRect(QRectF(rect), 9, 9);
    }

    // Icon: the thumbnail, or the kind's symbol on a tile.
    const QRectF icon(rect.left() + padX, rect.center().y() + 0.5 - iconSide / 2.0, iconSide,
                      iconSide);
    QPainterPath iconShape;
    iconShape.addRoundedRect(icon, 7, 7);
    QPixmap thumb;
    if (item.thumbPath)
        thumb = thumbnail(*item.thumbPath, p.device()->devicePixelRatioF());
    if (!thumb.isNull()) {
        p.save();
        p.setClipPath(iconShape);
        p.drawPixmap(icon, thumb, QRectF(thumb.rect()));
        p.restore();
        p.setPen(QPen(Palette::hairline(), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(icon.adjusted(0.5, 0.5, -0.5, -0.5), 6.5, 6.5);
    } else {
        p.setPen(Qt::NoPen);
        p.setBrush(Palette::fill());
        p.drawPath(iconShape);
        PanelStyle::drawSymbol(p, icon, clipKindSymbol(item.kind), Palette::textSecondary(), 14);
    }

    // Title and meta line, centred as one block.
    const QStringList& lines = model.titleLines(row, titleFont(), titleWidth());
    const qreal titleLine = lineHeight(titleFont());
    const qreal metaLine = lineHeight(metaFont());
    const qreal block = lines.size() * titleLine + 2 + metaLine;
    qreal y = rect.center().y() + 0.5 - block / 2;
    const qreal x = icon.right() + spacing;
    p.setFont(titleFont());
    p.setPen(Palette::ink());
    for (const QString& line : lines) {
        p.drawText(QRectF(x, y, titleWidth(), titleLine), Qt::AlignLeft | Qt::AlignVCenter, line);
        y += titleLine;
    }
    y += 2;
    qreal mx = x;
    if (item.sourceApp && m_appIcon) {
        const QIcon appIc = m_appIcon(*item.sourceApp);
        if (!appIc.isNull()) {
            appIc.paint(&p, QRect(qRound(mx), qRound(y + (metaLine - 13) / 2), 13, 13));
            mx += 13 + 5;
        }
    }
    p.setFont(metaFont());
    p.setPen(Palette::textDim());
    const QString meta = clipMetaText(item, QDateTime::currentDateTime());
    const qreal metaWidth = x + titleWidth() - mx;
    p.drawText(QRectF(mx, y, metaWidth, metaLine), Qt::AlignLeft | Qt::AlignVCenter,
               QFontMetricsF(metaFont()).elidedText(meta, Qt::ElideRight, metaWidth));

    // Buttons: the pin while hovering or pinned, delete only while hovering.
    if (hovering || item.pinned) {
        const QString name = item.pinned ? QStringLiteral("pin.fill") : QStringLiteral("pin");
        const QColor color = item.pinned ? Palette::peach() : Palette::textDim();
        PanelStyle::drawSymbol(p, pinButtonRect(rect, hovering), name, color, 11);
    }
    if (hovering)
        PanelStyle::drawSymbol(p, deleteButtonRect(rect), QStringLiteral("xmark"),
                               Palette::textDim(), 10.5);
}
