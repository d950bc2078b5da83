#include "ui/panel/ScreenshotCellDelegate.h"

#include "ui/Palette.h"
#include "ui/panel/PanelStyle.h"
#include "ui/panel/ScreenshotListModel.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace {
QFont captionFont() {
    static const QFont f = PanelStyle::font(9, QFont::Medium);
    return f;
}
} // namespace

ScreenshotCellDelegate::ScreenshotCellDelegate(QObject* parent)
    : QStyledItemDelegate(parent) {}

void ScreenshotCellDelegate::setCellSize(const QSize& cell, int columnWidth) {
    m_cell = cell;
    m_columnWidth = columnWidth;
}

int ScreenshotCellDelegate::cellContentHeight() {
    return boxHeight + captionGap + qCeil(QFontMetricsF(captionFont()).height());
}

QSize ScreenshotCellDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    return m_cell;
}

void ScreenshotCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
    const auto* model = static_cast<const ScreenshotListModel*>(index.model());
    const bool hovering = m_hovered == index;
    QPainter& p = *painter;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);

    const qreal left = option.rect.left() + (m_columnWidth - boxWidth) / 2.0;
    const QRectF box(left, option.rect.top(), boxWidth, boxHeight);
    PanelStyle::drawShadow(p, box, 9, hovering ? 0.35 : 0.18, 4, 2);

    QPainterPath shape;
    shape.addRoundedRect(box, 9, 9);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(22, 28, 44));
    p.drawPath(shape);
    p.setBrush(Palette::fill());
    p.drawPath(shape);
    const QImage thumb = model->thumbnail(index.row());
    if (!thumb.isNull()) {
        // Fill the box, keeping the aspect ratio; the overflow is cut off.
        QSizeF src = QSizeF(box.size()).scaled(thumb.size(), Qt::KeepAspectRatio);
        const QRectF source((thumb.width() - src.width()) / 2, (thumb.height() - src.height()) / 2,
                            src.width(), src.height());
        p.save();
        p.setClipPath(shape);
        p.drawImage(box, thumb, source);
        p.restore();
    } else {
        PanelStyle::drawSymbol(p, box, QStringLiteral("photo"), Palette::textDim(), 17);
    }
    const qreal line = hovering ? 2 : 1;
    p.setPen(QPen(hovering ? Palette::cyan() : Palette::hairline(), line));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(box.adjusted(line / 2, line / 2, -line / 2, -line / 2), 9 - line / 2,
                      9 - line / 2);

    p.setFont(captionFont());
    p.setPen(hovering ? Palette::textSecondary() : Palette::textDim());
    const QFontMetricsF fm(captionFont());
    const QRectF caption(option.rect.left(), box.bottom() + captionGap, m_columnWidth, fm.height());
    p.drawText(caption, Qt::AlignHCenter | Qt::AlignTop,
               fm.elidedText(index.data().toString(), Qt::ElideMiddle, m_columnWidth));
    p.restore();
}
