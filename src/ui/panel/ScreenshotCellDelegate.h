#pragma once

#include <QPersistentModelIndex>
#include <QSize>
#include <QStyledItemDelegate>

// Paints one screenshot cell: the 118 × 86 thumbnail box with its border
// and shadow (stronger while hovered) and the date caption under it.
class ScreenshotCellDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    static constexpr int boxWidth = 118;
    static constexpr int boxHeight = 86;
    static constexpr int captionGap = 5;

    explicit ScreenshotCellDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    void setHovered(const QPersistentModelIndex& index) { m_hovered = index; }
    QPersistentModelIndex hovered() const { return m_hovered; }
    // Each grid cell: the column width plus the gaps that follow it.
    void setCellSize(const QSize& cell, int columnWidth);
    static int cellContentHeight();

private:
    QPersistentModelIndex m_hovered;
    QSize m_cell{128, 115};
    int m_columnWidth = 118;
};
