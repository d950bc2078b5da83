#pragma once

#include "history/ClipItem.h"

#include <QListView>
#include <QPersistentModelIndex>
#include <QPoint>

class ClipListModel;
class ClipRowDelegate;

// The scrolling clip list. Translates the pointer into row actions: hover,
// click to copy, the pin and delete buttons, the context menu, drag out.
class ClipListView : public QListView {
    Q_OBJECT

public:
    ClipListView(ClipListModel& model, QWidget* parent = nullptr);

    ClipRowDelegate& rowDelegate() const { return *m_delegate; }
    // The rectangle of the row showing `id`, in viewport coordinates; empty if none.
    QRect rowRect(qint64 id) const;

Q_SIGNALS:
    void hovered(const ClipItem& item);
    void copyRequested(const ClipItem& item);
    void previewRequested(const ClipItem& item, const QRect& rowInGlobal);
    void quickLookRequested(const QUrl& file);
    void pinToggled(const ClipItem& item);
    void deleteRequested(const ClipItem& item);

protected:
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
    const ClipItem* clipAt(const QModelIndex& index) const;

    ClipListModel& m_model;
    ClipRowDelegate* m_delegate = nullptr;
    QPersistentModelIndex m_pressed;
    QPoint m_pressPos;
    bool m_pressOnButton = false;
};
