#pragma once

#include <QModelIndex>
#include <QPersistentModelIndex>
#include <QRect>
#include <QStyledItemDelegate>

#include <functional>

class ClipListModel;

// Paints one line of the clip list: a section header, or a row with its
// icon, title, meta line and, while hovered, the pin and delete buttons.
class ClipRowDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit ClipRowDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The row the pointer is over; it draws its hover look and buttons.
    void setHovered(const QPersistentModelIndex& index) { m_hovered = index; }
    QPersistentModelIndex hovered() const { return m_hovered; }
    // The width rows are laid out at (the list's viewport width).
    void setRowWidth(int width) { m_rowWidth = width; }
    // Where the source application's icon comes from; none without one.
    void setAppIconLookup(std::function<QIcon(const QString& appId)> lookup) {
        m_appIcon = std::move(lookup);
    }

    // Hit areas of the buttons within a row's rectangle. The pin button sits
    // where the delete button would be when the delete button is hidden.
    static QRect deleteButtonRect(const QRect& row);
    static QRect pinButtonRect(const QRect& row, bool hovering);

private:
    int titleWidth() const;
    void paintHeader(QPainter& p, const QRect& rect, const QModelIndex& index) const;
    void paintClip(QPainter& p, const QRect& rect, const ClipListModel& model, int row,
                   bool hovering) const;

    QPersistentModelIndex m_hovered;
    int m_rowWidth = 400;
    std::function<QIcon(const QString& appId)> m_appIcon;
};
