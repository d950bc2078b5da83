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
#include <QKeyEvent>
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
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(tr("Clipboard history"));
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
    connect(&m_model, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        const ClipItem* item = currentClip();
        m_keptId = item ? item->id : -1;
        m_keptRow = item ? m_delegate->hovered().row() : -1;
    });
    connect(&m_model, &ClipListModel::rebuilt, this, [this] {
        m_delegate->setHovered(QPersistentModelIndex());
        m_pressed = QPersistentModelIndex();
        restoreCurrent();
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

const ClipItem* ClipListView::currentClip() const {
    return clipAt(m_delegate->hovered());
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

int ClipListView::clipRowFrom(int row, int step) const {
    for (; row >= 0 && row < m_model.rowCount(); row += step) {
        if (clipAt(m_model.index(row)))
            return row;
    }
    return -1;
}

void ClipListView::restoreCurrent() {
    if (m_keptRow < 0)
        return;
    int row = -1;
    for (int i = 0; i < m_model.rowCount() && row < 0; ++i) {
        if (m_model.index(i).data(ClipListModel::ItemIdRole).toLongLong() == m_keptId &&
            clipAt(m_model.index(i)))
            row = i;
    }
    // Gone (deleted, or filtered out): the row that took its place is current,
    // or the one above at the end, so Delete pressed again goes on down the list.
    if (row < 0)
        row = clipRowFrom(m_keptRow, 1);
    if (row < 0)
        row = clipRowFrom(qMin(m_keptRow, m_model.rowCount()) - 1, -1);
    // The list scrolls after the keys' choice only; the pointer's is in view.
    if (row >= 0 && m_pointerChose)
        setHover(m_model.index(row));
    else if (row >= 0)
        makeCurrent(row);
}

void ClipListView::selectFirst() {
    m_pointerChose = false;
    const int row = clipRowFrom(0, 1);
    if (row >= 0)
        makeCurrent(row);
}

void ClipListView::makeCurrent(int row) {
    const QModelIndex index = m_model.index(row);
    // A section header just above stays in sight with its first row.
    if (row > 0 && !clipAt(m_model.index(row - 1)))
        scrollTo(m_model.index(row - 1));
    scrollTo(index);
    setHover(index);
}

void ClipListView::moveCurrent(int step) {
    m_pointerChose = false;
    const QModelIndex from = m_delegate->hovered();
    const int row = from.isValid() ? clipRowFrom(from.row() + step, step) : clipRowFrom(0, 1);
    if (row >= 0)
        makeCurrent(row);
}

bool ClipListView::handleKey(QKeyEvent* event) {
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        moveCurrent(event->key() == Qt::Key_Up ? -1 : 1);
        return true;
    }
    const QModelIndex index = m_delegate->hovered();
    if (!currentClip())
        return false;
    const ClipItem item = *currentClip();
    const QRect rect = visualRect(index);
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Q_EMIT copyRequested(item);
        return true;
    case Qt::Key_Delete:
        Q_EMIT deleteRequested(item);
        return true;
    case Qt::Key_Space:
        // A file opens in the preview window, text in the row's popover.
        if (clipFileURL(item).isValid())
            Q_EMIT quickLookRequested(clipFileURL(item));
        else
            Q_EMIT previewRequested(item,
                                    QRect(viewport()->mapToGlobal(rect.topLeft()), rect.size()));
        return true;
    default:
        return false;
    }
}

bool ClipListView::openCurrentMenu() {
    if (!currentClip())
        return false;
    // As a click in the middle of the row would.
    const QPoint at = visualRect(m_delegate->hovered()).center();
    QContextMenuEvent menu(QContextMenuEvent::Mouse, at, viewport()->mapToGlobal(at));
    contextMenuEvent(&menu);
    return true;
}

void ClipListView::focusInEvent(QFocusEvent* event) {
    // Reached with Tab, the list shows where the keys will act.
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason) {
        if (!currentClip())
            selectFirst();
    }
    QListView::focusInEvent(event);
}

void ClipListView::keyPressEvent(QKeyEvent* event) {
    // Other keys (typing, tab switching) are the panel's.
    if (!handleKey(event))
        event->ignore();
}

void ClipListView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    m_pointerChose = true;
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
    if (m_pointerChose)
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
