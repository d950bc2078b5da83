#pragma once

#include "ui/PaintedItems.h"

#include <QHash>
#include <QIcon>
#include <QImage>
#include <QWidget>

#include <functional>

class QPushButton;
class QuickPickerModel;
struct ClipItem;

// The picker's content: numbered rows for the model's clips (or a hint when
// there are none) and a footer with a key hint and the way to the full
// history. Rows are painted, not widgets, so a reload costs no allocations.
class QuickPickerView : public QWidget, public PaintedItems {
    Q_OBJECT

public:
    static constexpr int width = 332;
    static constexpr int rowPitch = 40; // a 38 high row and 2 of spacing
    static constexpr int rowHeight = 38;
    static constexpr int padding = 8;
    static constexpr int chromeHeight = 48;
    static constexpr qreal cornerRadius = 14;

    // The icon of the application a clip came from, null when unknown.
    using AppIconLookup = std::function<QIcon(const QString& appId)>;

    explicit QuickPickerView(QuickPickerModel& model, QWidget* parent = nullptr);

    // max(n, 1) rows plus the padding and footer.
    static int heightFor(qsizetype itemCount);
    // The row under a point of the view, or -1.
    int rowAt(QPoint pos) const;
    QRect rowRect(int index) const;

    void setAppIconLookup(AppIconLookup lookup) { m_appIcon = std::move(lookup); }
    QPushButton* allHistoryButton() const { return m_allHistory; }

    QAccessible::Role paintedItemsRole() const override { return QAccessible::List; }
    int paintedItemCount() const override;
    QString paintedItemName(int index) const override;
    QRect paintedItemRect(int index) const override { return rowRect(index); }
    bool paintedItemSelected(int index) const override;
    void activatePaintedItem(int index) override { Q_EMIT rowClicked(index); }

Q_SIGNALS:
    void rowClicked(int index);
    void allHistoryClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void paintRow(QPainter& p, int index, const ClipItem& item);
    void paintKindMark(QPainter& p, const QRect& box, const ClipItem& item);
    // Decoded once per reload, not on every arrow key.
    const QImage& thumbnail(const ClipItem& item);
    QIcon appIcon(const QString& appId);

    QuickPickerModel& m_model;
    QPushButton* m_allHistory;
    AppIconLookup m_appIcon;
    QHash<qint64, QImage> m_thumbnails;
    QHash<QString, QIcon> m_appIcons;
};
