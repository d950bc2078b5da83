#include "ui/picker/QuickPicker.h"

#include "history/CopyBack.h"
#include "ui/AppIcons.h"
#include "ui/WindowPlacement.h"
#include "ui/picker/QuickPickerModel.h"
#include "ui/picker/QuickPickerView.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QPainterPath>
#include <QRegion>
#include <QTimer>

QuickPicker::QuickPicker(UiServices& services, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_copyBack(services.copyBack)
    , m_model(new QuickPickerModel(services.store, this))
    , m_view(new QuickPickerView(*m_model, this)) {
    m_view->setAppIconLookup(
        [&icons = services.icons](const QString& appId) { return icons.icon(appId); });
    // Never shown (the window has no frame); lets scripts find the picker.
    setWindowTitle(tr("Quillet Quick Picker"));
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::StrongFocus);
    connect(m_view, &QuickPickerView::rowClicked, this, [this](int row) { pick(row); });
    connect(m_view, &QuickPickerView::allHistoryClicked, this, &QuickPicker::openAllHistory);
    setFixedSize(QuickPickerView::width, 200);
}

QuickPicker::~QuickPicker() = default;

void QuickPicker::toggle() {
    if (isVisible())
        hide();
    else
        show();
}

void QuickPicker::show() {
    if (!isVisible())
        m_copyBack.rememberFrontmostWindow();
    m_model->reload();
    // A fixed size: tiling compositors float such windows instead of
    // stretching the picker over a whole tile.
    setFixedSize(QuickPickerView::width, QuickPickerView::heightFor(m_model->items().size()));
    move(WindowPlacement::pickerOrigin(QCursor::pos(), size(), WindowPlacement::desktopScreens()));
    QWidget::show();
    raise();
    activateWindow();
    // Hidden while it had the keyboard, the picker can stay Qt's focus window
    // when the server moves the focus nowhere; the server's focus-in on the
    // next show then changes nothing for Qt and the widget would stay
    // inactive (and not hide on a click elsewhere).
    if (QGuiApplication::focusWindow() == windowHandle() && !isActiveWindow())
        QApplication::setActiveWindow(this);
    setFocus(Qt::ActiveWindowFocusReason);
}

void QuickPicker::pick(qint64 index) {
    if (index < 0 || index >= m_model->items().size())
        return;
    const ClipItem item = m_model->items().at(index);
    // The same sequence as the panel's: nothing is pasted when the copy failed.
    m_copyBack.pickItem(item, [this] { hide(); });
}

void QuickPicker::openAllHistory() {
    hide();
    Q_EMIT allHistoryRequested();
}

bool QuickPicker::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::WindowDeactivate && isVisible())
        hide();
    return handled;
}

void QuickPicker::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        pick(m_model->selection());
        return;
    case Qt::Key_Escape:
        hide();
        return;
    case Qt::Key_Down:
        m_model->selectNext();
        return;
    case Qt::Key_Up:
        m_model->selectPrevious();
        return;
    default:
        break;
    }
    // Any script's digits choose a row; a digit without a row is swallowed.
    const QString text = event->text();
    if (!text.isEmpty()) {
        const int digit = text.at(0).digitValue();
        if (digit >= 1 && digit <= QuickPickerModel::maxItems) {
            pick(digit - 1);
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void QuickPicker::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_view->setGeometry(rect());
    // The shape clips the corners also where no compositor honours transparency.
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), 14, 14);
    setMask(QRegion(shape.toFillPolygon().toPolygon()));
}
