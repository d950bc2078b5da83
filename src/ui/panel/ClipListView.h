#pragma once

#include "history/ClipItem.h"

#include <QListView>
#include <QPersistentModelIndex>
#include <QPoint>

class ClipListModel;
class ClipRowDelegate;

// The scrolling clip list. Translates the pointer and the keys into row
// actions: hover, click to copy, the pin and delete buttons, the context menu,
// drag out. The row under the pointer and the row the arrow keys chose are one
// "current" row, painted hovered; the keys act on it.
class ClipListView : public QListView {
    Q_OBJECT

public:
    ClipListView(ClipListModel& model, QWidget* parent = nullptr);

    ClipRowDelegate& rowDelegate() const { return *m_delegate; }
    // The rectangle of the row showing `id`, in viewport coordinates; empty if none.
    QRect rowRect(qint64 id) const;
    // The current row's clip, if any.
    const ClipItem* currentClip() const;
    void selectFirst();
    // Up and Down move the current row; Return copies it, Space previews it
    // and Delete deletes it. False for other keys and when there is no
    // current row to act on.
    bool handleKey(QKeyEvent* event);
    // The current row's context menu, for the menu key; false without one.
    bool openCurrentMenu();

Q_SIGNALS:
    void hovered(const ClipItem& item);
    void copyRequested(const ClipItem& item);
    void previewRequested(const ClipItem& item, const QRect& rowInGlobal);
    void quickLookRequested(const QUrl& file);
    void pinToggled(const ClipItem& item);
    void deleteRequested(const ClipItem& item);

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
    bool viewportEvent(QEvent* event) override;

private:
    void setHover(const QModelIndex& index);
    // The first clip row from `row` on in the direction of `step`, or -1.
    int clipRowFrom(int row, int step) const;
    void moveCurrent(int step);
    void makeCurrent(int row);
    void restoreCurrent();
    const ClipItem* clipAt(const QModelIndex& index) const;

    ClipListModel& m_model;
    ClipRowDelegate* m_delegate = nullptr;
    QPersistentModelIndex m_pressed;
    QPoint m_pressPos;
    bool m_pressOnButton = false;
    // The current row before the list was rebuilt: the same clip stays
    // current, or the one that took its place.
    qint64 m_keptId = -1;
    int m_keptRow = -1;
    // The pointer chose the current item, which goes when the pointer leaves;
    // one the keys chose stays (a menu or a preview opening sends a leave too).
    bool m_pointerChose = false;
};
