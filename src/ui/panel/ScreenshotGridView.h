#pragma once

#include <QListView>
#include <QPersistentModelIndex>
#include <QUrl>

class ScreenshotCellDelegate;
class ScreenshotListModel;

// The adaptive grid of screenshot cells: as many columns of 100 to 140
// points as fit, 10 apart, rows 12 apart, inset 12. Turns the pointer into
// cell actions.
class ScreenshotGridView : public QListView {
    Q_OBJECT

public:
    explicit ScreenshotGridView(ScreenshotListModel& model, QWidget* parent = nullptr);

    ScreenshotCellDelegate& cellDelegate() const { return *m_delegate; }
    int columnCount() const { return m_columns; }
    // Column count and width for an available width, as the grid lays out.
    static std::pair<int, int> columnsFor(int width);

Q_SIGNALS:
    void hovered(const QUrl& url);
    void clicked(const QUrl& url);
    void contextMenuRequested(const QUrl& url, const QPoint& globalPos);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void setHover(const QModelIndex& index);
    void relayout();

    ScreenshotListModel& m_model;
    ScreenshotCellDelegate* m_delegate = nullptr;
    QPersistentModelIndex m_pressed;
    QPoint m_pressPos;
    int m_columns = 1;
};
