#include "ui/panel/ScreenshotGridView.h"

#include "history/ClipMime.h"
#include "ui/panel/DragOut.h"
#include "ui/panel/PanelStyle.h"
#include "ui/panel/ScreenshotCellDelegate.h"
#include "ui/panel/ScreenshotListModel.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

namespace {
constexpr int minColumn = 100;
constexpr int maxColumn = 140;
constexpr int columnGap = 10;
constexpr int rowGap = 12;
constexpr int inset = 12;
} // namespace

ScreenshotGridView::ScreenshotGridView(ScreenshotListModel& model, QWidget* parent)
    : QListView(parent)
    , m_model(model)
    , m_delegate(new ScreenshotCellDelegate(this)) {
    setModel(&m_model);
    setItemDelegate(m_delegate);
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setUniformItemSizes(true);
    setSpacing(0);
    setMouseTracking(true);
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(tr("Screenshots"));
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setDragEnabled(false);
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(16);
    PanelStyle::styleScrollBar(this);
    connect(&m_model, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        m_keptRow = m_delegate->hovered().isValid() ? m_delegate->hovered().row() : -1;
        m_keptUrl = currentUrl();
    });
    connect(&m_model, &QAbstractItemModel::modelReset, this, [this] {
        m_delegate->setHovered(QPersistentModelIndex());
        if (m_keptRow >= 0 && m_model.rowCount() > 0) {
            int row = int(m_model.screenshots().indexOf(m_keptUrl));
            row = row >= 0 ? row : qMin(m_keptRow, m_model.rowCount() - 1);
            // The grid scrolls after the keys' choice only; the pointer's is in view.
            if (m_pointerChose)
                setHover(m_model.index(row));
            else
                moveCurrent(row);
        }
    });
}

QUrl ScreenshotGridView::currentUrl() const {
    const QModelIndex index = m_delegate->hovered();
    return index.isValid() ? m_model.url(index.row()) : QUrl();
}

void ScreenshotGridView::moveCurrent(int row) {
    scrollTo(m_model.index(row));
    setHover(m_model.index(row));
}

bool ScreenshotGridView::handleKey(QKeyEvent* event) {
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    const QModelIndex current = m_delegate->hovered();
    const int n = m_model.rowCount();
    int step = 0;
    switch (event->key()) {
    case Qt::Key_Left:
        step = -1;
        break;
    case Qt::Key_Right:
        step = 1;
        break;
    case Qt::Key_Up:
        step = -m_columns;
        break;
    case Qt::Key_Down:
        step = m_columns;
        break;
    default:
        break;
    }
    if (step != 0) {
        m_pointerChose = false;
        if (n == 0)
            return true;
        int row = current.isValid() ? current.row() + step : 0;
        // Down from the row above a shorter last row lands on its last cell.
        if (row >= n && step > 1 && current.row() / m_columns < (n - 1) / m_columns)
            row = n - 1;
        if (row >= 0 && row < n)
            moveCurrent(row);
        return true;
    }
    const QUrl url = currentUrl();
    if (url.isEmpty())
        return false;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Q_EMIT clicked(url);
        return true;
    case Qt::Key_Space:
        Q_EMIT quickLookRequested(url);
        return true;
    case Qt::Key_Delete:
        Q_EMIT trashRequested(url);
        return true;
    default:
        return false;
    }
}

bool ScreenshotGridView::openCurrentMenu() {
    const QUrl url = currentUrl();
    if (url.isEmpty())
        return false;
    const QRect cell = visualRect(m_delegate->hovered());
    Q_EMIT contextMenuRequested(url, viewport()->mapToGlobal(cell.center()));
    return true;
}

void ScreenshotGridView::focusInEvent(QFocusEvent* event) {
    // Reached with Tab, the list shows where the keys will act.
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason) {
        if (!m_delegate->hovered().isValid() && m_model.rowCount() > 0) {
            m_pointerChose = false;
            moveCurrent(0);
        }
    }
    QListView::focusInEvent(event);
}

void ScreenshotGridView::keyPressEvent(QKeyEvent* event) {
    // Other keys (tab switching) are the panel's.
    if (!handleKey(event))
        event->ignore();
}

std::pair<int, int> ScreenshotGridView::columnsFor(int width) {
    const int n = qMax(1, (width + columnGap) / (minColumn + columnGap));
    const int column = qBound(1, (width - columnGap * (n - 1)) / n, maxColumn);
    return {n, column};
}

void ScreenshotGridView::relayout() {
    const int available = width() - 2 * inset - PanelStyle::scrollBarWidth;
    const auto [n, column] = columnsFor(available);
    m_columns = n;
    // Each grid cell carries the gap to its right; the right inset holds the
    // last cell's gap, so the viewport reaches the scroll bar.
    setViewportMargins(inset, inset, 0, 0);
    m_delegate->setCellSize(
        QSize(column + columnGap, ScreenshotCellDelegate::cellContentHeight() + rowGap), column);
    setGridSize(QSize(column + columnGap, ScreenshotCellDelegate::cellContentHeight() + rowGap));
}

void ScreenshotGridView::resizeEvent(QResizeEvent* event) {
    relayout();
    QListView::resizeEvent(event);
}

void ScreenshotGridView::setHover(const QModelIndex& index) {
    if (QPersistentModelIndex(index) == m_delegate->hovered())
        return;
    const QModelIndex old = m_delegate->hovered();
    m_delegate->setHovered(index);
    if (old.isValid())
        viewport()->update(visualRect(old));
    if (index.isValid()) {
        viewport()->update(visualRect(index));
        Q_EMIT hovered(m_model.url(index.row()));
    }
}

void ScreenshotGridView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    m_pointerChose = true;
    setHover(indexAt(pos));
    if ((event->buttons() & Qt::LeftButton) && m_pressed.isValid() &&
        (pos - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
        const QUrl url = m_model.url(m_pressed.row());
        m_pressed = QPersistentModelIndex();
        DragOut::run(this, ClipMime::forScreenshot(url));
    }
}

void ScreenshotGridView::mousePressEvent(QMouseEvent* event) {
    m_pressed = QPersistentModelIndex();
    if (event->button() != Qt::LeftButton)
        return;
    m_pressPos = event->position().toPoint();
    m_pressed = indexAt(m_pressPos);
}

void ScreenshotGridView::mouseReleaseEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && m_pressed.isValid() && index == m_pressed)
        Q_EMIT clicked(m_model.url(index.row()));
    m_pressed = QPersistentModelIndex();
}

void ScreenshotGridView::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click already acted as a click of its own.
    event->accept();
}

void ScreenshotGridView::leaveEvent(QEvent* event) {
    if (m_pointerChose)
        setHover(QModelIndex());
    QListView::leaveEvent(event);
}

void ScreenshotGridView::contextMenuEvent(QContextMenuEvent* event) {
    // A mouse's event comes through the viewport with the position already in
    // its coordinates, a keyboard's in the list's own: the pointer's place on
    // screen means the same in both.
    const QModelIndex index = indexAt(viewport()->mapFromGlobal(event->globalPos()));
    if (index.isValid())
        Q_EMIT contextMenuRequested(m_model.url(index.row()), event->globalPos());
}
