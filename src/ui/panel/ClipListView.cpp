#include "ui/panel/ClipListView.h"

#include "history/ClipMime.h"
#include "ui/DarkTheme.h"
#include "ui/PanelFormat.h"
#include "ui/panel/ClipListModel.h"
#include "ui/panel/ClipRowDelegate.h"
#include "ui/panel/DragOut.h"
#include "ui/panel/PanelStyle.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QToolTip>

ClipListView::ClipListView(ClipListModel& model, QWidget* parent)
    : QListView(parent)
    , m_model(model)
    , m_delegate(new ClipRowDelegate(this)) {
    setModel(&m_model);
    setItemDelegate(m_delegate);
    setMouseTracking(true);
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLayoutMode(QListView::Batched);
    setBatchSize(200);
    setSpacing(1);
    setViewportMargins(7, 7, 7, 7);
    viewport()->setAutoFillBackground(false);
    setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(12);
    PanelStyle::styleScrollBar(this);
    connect(&m_model, &ClipListModel::rebuilt, this, [this] {
        m_delegate->setHovered(QPersistentModelIndex());
        m_pressed = QPersistentModelIndex();
    });
}

QRect ClipListView::rowRect(qint64 id) const {
    for (int row = 0; row < m_model.rowCount(); ++row) {
        if (m_model.index(row).data(ClipListModel::ItemIdRole).toLongLong() == id &&
            !m_model.index(row).data(ClipListModel::IsHeaderRole).toBool())
            return visualRect(m_model.index(row));
    }
    return {};
}

const ClipItem* ClipListView::clipAt(const QModelIndex& index) const {
    if (!index.isValid() || index.data(ClipListModel::IsHeaderRole).toBool())
        return nullptr;
    return &m_model.entry(index.row()).item;
}

void ClipListView::setHover(const QModelIndex& index) {
    const QModelIndex target = clipAt(index) ? index : QModelIndex();
    if (QPersistentModelIndex(target) == m_delegate->hovered())
        return;
    const QModelIndex old = m_delegate->hovered();
    m_delegate->setHovered(target);
    if (old.isValid())
        viewport()->update(visualRect(old));
    if (target.isValid()) {
        viewport()->update(visualRect(target));
        Q_EMIT hovered(*clipAt(target));
    }
}

void ClipListView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    setHover(indexAt(pos));
    if ((event->buttons() & Qt::LeftButton) && m_pressed.isValid() && !m_pressOnButton &&
        (pos - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
        if (const ClipItem* item = clipAt(m_pressed)) {
            const ClipItem copy = *item;
            m_pressed = QPersistentModelIndex();
            DragOut::run(this, ClipMime::forItem(copy));
        }
    }
}

void ClipListView::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = indexAt(pos);
    m_pressed = QPersistentModelIndex();
    m_pressOnButton = false;
    const ClipItem* item = clipAt(index);
    if (!item || event->button() != Qt::LeftButton)
        return;
    const QRect rect = visualRect(index);
    const bool hovering = m_delegate->hovered() == index;
    if (hovering && ClipRowDelegate::deleteButtonRect(rect).contains(pos)) {
        m_pressOnButton = true;
        Q_EMIT deleteRequested(*item);
        return;
    }
    if ((hovering || item->pinned) &&
        ClipRowDelegate::pinButtonRect(rect, hovering).contains(pos)) {
        m_pressOnButton = true;
        Q_EMIT pinToggled(*item);
        return;
    }
    m_pressed = index;
    m_pressPos = pos;
}

void ClipListView::mouseReleaseEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && m_pressed.isValid() && index == m_pressed) {
        if (const ClipItem* item = clipAt(index)) {
            const ClipItem copy = *item;
            m_pressed = QPersistentModelIndex();
            Q_EMIT copyRequested(copy);
        }
    }
    m_pressed = QPersistentModelIndex();
}

void ClipListView::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click already acted as a click of its own.
    event->accept();
}

void ClipListView::leaveEvent(QEvent* event) {
    setHover({});
    QListView::leaveEvent(event);
}

void ClipListView::contextMenuEvent(QContextMenuEvent* event) {
    // A mouse's event comes through the viewport with the position already in
    // its coordinates, a keyboard's in the list's own: the pointer's place on
    // screen means the same in both.
    const QModelIndex index = indexAt(viewport()->mapFromGlobal(event->globalPos()));
    const ClipItem* found = clipAt(index);
    if (!found)
        return;
    const ClipItem item = *found;
    const QRect row(viewport()->mapToGlobal(visualRect(index).topLeft()), visualRect(index).size());
    QMenu menu(this);
    DarkTheme::apply(&menu, DarkTheme::panelPopupBackground());
    connect(menu.addAction(tr("Copy")), &QAction::triggered, this,
            [this, item] { Q_EMIT copyRequested(item); });
    connect(menu.addAction(tr("Preview")), &QAction::triggered, this,
            [this, item, row] { Q_EMIT previewRequested(item, row); });
    const QUrl file = clipFileURL(item);
    if (file.isValid())
        connect(menu.addAction(tr("Quick Look")), &QAction::triggered, this,
                [this, file] { Q_EMIT quickLookRequested(file); });
    menu.addSeparator();
    connect(menu.addAction(item.pinned ? tr("Unpin") : tr("Pin")), &QAction::triggered, this,
            [this, item] { Q_EMIT pinToggled(item); });
    QAction* del = menu.addAction(tr("Delete"));
    del->setProperty("destructive", true);
    connect(del, &QAction::triggered, this, [this, item] { Q_EMIT deleteRequested(item); });
    menu.exec(event->globalPos());
}

void ClipListView::resizeEvent(QResizeEvent* event) {
    m_delegate->setRowWidth(viewport()->width() - 2 * spacing());
    QListView::resizeEvent(event);
    scheduleDelayedItemsLayout();
}

bool ClipListView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        const ClipItem* item = clipAt(index);
        QString tip;
        if (item && m_delegate->hovered() == index) {
            const QRect rect = visualRect(index);
            if (ClipRowDelegate::deleteButtonRect(rect).contains(help->pos()))
                tip = tr("Delete");
            else if (ClipRowDelegate::pinButtonRect(rect, true).contains(help->pos()))
                tip = item->pinned ? tr("Unpin") : tr("Pin");
        }
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, viewport());
        return true;
    }
    return QListView::viewportEvent(event);
}
