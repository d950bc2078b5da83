#pragma once

#include <QListView>
#include <QPersistentModelIndex>
#include <QUrl>

class ScreenshotCellDelegate;
class ScreenshotListModel;

// The adaptive grid of screenshot cells: as many columns of 100 to 140
// points as fit, 10 apart, rows 12 apart, inset 12. Turns the pointer and
// the keys into cell actions; the cell under the pointer and the cell the
// arrow keys chose are one "current" cell, painted hovered.
class ScreenshotGridView : public QListView {
    Q_OBJECT

public:
    explicit ScreenshotGridView(ScreenshotListModel& model, QWidget* parent = nullptr);

    ScreenshotCellDelegate& cellDelegate() const { return *m_delegate; }
    int columnCount() const { return m_columns; }
    // Column count and width for an available width, as the grid lays out.
    static std::pair<int, int> columnsFor(int width);
    // The current cell's screenshot; empty if none.
    QUrl currentUrl() const;
    // The arrows move the current cell by columns and rows; Return copies it,
    // Space previews it and Delete moves it to the Trash. False for other keys
    // and when there is no cell to act on.
    bool handleKey(QKeyEvent* event);
    // The current cell's context menu, for the menu key; false without one.
    bool openCurrentMenu();

Q_SIGNALS:
    void hovered(const QUrl& url);
    void clicked(const QUrl& url);
    void contextMenuRequested(const QUrl& url, const QPoint& globalPos);
    void quickLookRequested(const QUrl& url);
    void trashRequested(const QUrl& url);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
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
    void moveCurrent(int row);

    ScreenshotListModel& m_model;
    ScreenshotCellDelegate* m_delegate = nullptr;
    QPersistentModelIndex m_pressed;
    QPoint m_pressPos;
    int m_columns = 1;
    // The current cell before the list was replaced: the same screenshot
    // stays current, or the one that took its place.
    QUrl m_keptUrl;
    int m_keptRow = -1;
    // The pointer chose the current item, which goes when the pointer leaves;
    // one the keys chose stays (a menu or a preview opening sends a leave too).
    bool m_pointerChose = false;
};
