#include "ui/panel/FloatingPanel.h"

#include "history/CopyBack.h"
#include "screenshots/ScreenshotWatcher.h"
#include "ui/QuickLook.h"
#include "ui/WindowPlacement.h"
#include "ui/panel/ClipListView.h"
#include "ui/panel/ClipboardView.h"
#include "ui/panel/DragOut.h"
#include "ui/panel/PanelState.h"
#include "ui/panel/PanelView.h"
#include "ui/panel/ScreenshotGridView.h"
#include "ui/panel/ScreenshotsView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QWindow>

#include <utility>

namespace {
// The 1-point border drawn inside the window's rounded shape, above everything.
class PanelBorder : public QWidget {
public:
    explicit PanelBorder(QWidget* parent)
        : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor::fromRgbF(1, 1, 1, 0.22f), 1));
        p.setBrush(Qt::NoBrush);
        const qreal r = PanelView::cornerRadius - 0.5;
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), r, r);
    }
};

// True when `window` is one of the panel's own dialogs or popups.
bool ownedBy(const QWidget* window, const QWidget* panel) {
    for (const QWidget* w = window; w; w = w->parentWidget()) {
        if (w == panel)
            return true;
    }
    return false;
}

// True for the panel, its dialogs and popups, and the preview opened from it:
// the windows among which the keyboard may move while the panel stays.
bool keepsPanelOpen(const QWidget* window, const QWidget* panel) {
    return window && (ownedBy(window, panel) || qobject_cast<const QuickLook*>(window));
}

QWidget* widgetOf(const QWindow* window) {
    if (!window)
        return nullptr;
    const QList<QWidget*> windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows) {
        if (w->windowHandle() == window)
            return w;
    }
    return nullptr;
}
} // namespace

FloatingPanel::FloatingPanel(PanelState& state, UiServices& services, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_state(state)
    , m_ui(services) {
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowTitle(QStringLiteral("Quillet"));
    // Not a stop of its own for Tab, which goes round its controls.
    setFocusPolicy(Qt::ClickFocus);
    setFixedSize(PanelView::panelWidth, PanelView::panelHeight);
    // The shape clips the corners also where no compositor honours transparency.
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), PanelView::cornerRadius, PanelView::cornerRadius);
    setMask(QRegion(shape.toFillPolygon().toPolygon()));
    m_view = new PanelView(m_state, m_ui, this);
    m_view->move(0, 0);
    m_border = new PanelBorder(this);
    m_border->setGeometry(rect());
    m_border->raise();
    connect(m_view, &PanelView::settingsRequested, this, &FloatingPanel::settingsRequested);
    ScreenshotWatcher& watcher = m_ui.watcher;
    setScreenshots(watcher.screenshots());
    connect(&watcher, &ScreenshotWatcher::screenshotsChanged, this,
            [this, &watcher] { setScreenshots(watcher.screenshots()); });
    connect(&m_view->clipboardView(), &ClipboardView::hideRequested, this, &QWidget::hide);
    for (QWidget* keys : {static_cast<QWidget*>(&m_view->clipboardView().searchField()),
                          static_cast<QWidget*>(&m_view->clipboardView().list()),
                          static_cast<QWidget*>(&m_view->screenshotsView().grid())})
        keys->installEventFilter(this);
    // The panel's own activation says nothing when the keyboard leaves Quillet
    // from one of its dialogs or its preview: follow the application's.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* now) {
        if (!now && m_keyboardWithPanel)
            QTimer::singleShot(0, this, &FloatingPanel::hideIfFocusLeft);
        m_keyboardWithPanel = now && keepsPanelOpen(widgetOf(now), this);
    });
    // A preview closed from within (Escape, Space) hands the keyboard back
    // to the panel, so the next click elsewhere hides it as usual. Once the
    // user has gone to another application the panel is hidden already.
    connect(&m_ui.quickLook, &QuickLook::closed, this, [this] {
        if (isVisible() && !isActiveWindow() && m_keyboardWithPanel) {
            raise();
            activateWindow();
        }
    });
}

void FloatingPanel::positionBelow(const std::optional<QRect>& trayAnchor) {
    move(WindowPlacement::panelOrigin(trayAnchor, QCursor::pos(), size(),
                                      WindowPlacement::desktopScreens()));
}

void FloatingPanel::present() {
    m_ui.copyBack.rememberFrontmostWindow();
    show();
    raise();
    activateWindow();
    m_view->focusTab();
}

void FloatingPanel::setScreenshots(const QList<QUrl>& urls) {
    m_view->screenshotsView().setScreenshots(urls);
}

void FloatingPanel::showEvent(QShowEvent* event) {
    m_view->screenshotsView().revisit();
    QWidget::showEvent(event);
}

void FloatingPanel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    if (routeKey(event, false))
        return;
    // Typing on the clipboard tab goes to the search field.
    QLineEdit& search = m_view->clipboardView().searchField();
    if (m_state.tab() == PanelTab::clipboard && !event->text().isEmpty() &&
        event->text().at(0).isPrint() && !(event->modifiers() & Qt::ControlModifier)) {
        search.setFocus(Qt::OtherFocusReason);
        QApplication::sendEvent(&search, event);
        return;
    }
    QWidget::keyPressEvent(event);
}

bool FloatingPanel::eventFilter(QObject* watched, QEvent* event) {
    // The search field keeps the keyboard (and the input method) while the
    // list's keys act on the list.
    const bool inSearch = watched == &m_view->clipboardView().searchField();
    if (event->type() == QEvent::KeyPress && routeKey(static_cast<QKeyEvent*>(event), inSearch))
        return true;
    // The X11 platform turns the menu key into a context-menu event for the
    // focused widget, ahead of the key press itself.
    if (event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard &&
        openCurrentMenu()) {
        m_menuKeyServed = true;
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool FloatingPanel::openCurrentMenu() {
    return m_state.tab() == PanelTab::clipboard
               ? m_view->clipboardView().list().openCurrentMenu()
               : m_view->screenshotsView().grid().openCurrentMenu();
}

bool FloatingPanel::routeKey(QKeyEvent* event, bool inSearchField) {
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (mods & Qt::ControlModifier) {
        std::optional<PanelTab> tab;
        if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)
            tab =
                m_state.tab() == PanelTab::clipboard ? PanelTab::screenshots : PanelTab::clipboard;
        else if (mods == Qt::ControlModifier && event->key() == Qt::Key_1)
            tab = PanelTab::screenshots;
        else if (mods == Qt::ControlModifier && event->key() == Qt::Key_2)
            tab = PanelTab::clipboard;
        if (tab)
            m_state.setTab(*tab);
        return tab.has_value();
    }
    if (event->key() == Qt::Key_Menu || (event->key() == Qt::Key_F10 && mods == Qt::ShiftModifier))
        return std::exchange(m_menuKeyServed, false) || openCurrentMenu();
    ClipboardView& clips = m_view->clipboardView();
    const bool onClips = m_state.tab() == PanelTab::clipboard;
    if (onClips ? clips.handleKey(event, inSearchField)
                : m_view->screenshotsView().grid().handleKey(event))
        return true;
    // Nothing current: Space previews what was hovered last, unless it is
    // typed into a search.
    if (event->key() == Qt::Key_Space && mods == Qt::NoModifier &&
        !(onClips && inSearchField && !clips.searchField().text().isEmpty())) {
        const QUrl url = m_state.quickLookURL();
        if (!url.isEmpty()) {
            m_ui.quickLook.preview(url);
            return true;
        }
    }
    return false;
}

void FloatingPanel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && isVisible()) {
        // Decided once the new active window is known.
        QTimer::singleShot(0, this, &FloatingPanel::hideIfFocusLeft);
    }
    QWidget::changeEvent(event);
}

void FloatingPanel::hideIfFocusLeft() {
    if (!isVisible() || isActiveWindow() || DragOut::isRunning())
        return;
    // No active window: another application has the keyboard, and the panel
    // goes whatever of its own is open. Within Quillet it stays for its own
    // dialogs, popups and preview only.
    if (QApplication::activePopupWidget() || keepsPanelOpen(QApplication::activeWindow(), this))
        return;
    hide();
}

void FloatingPanel::hideEvent(QHideEvent* event) {
    m_sinceHidden.start();
    // A dialog of the panel would otherwise stay on screen without it; closed
    // this way it changes nothing (Clear and Rename both cancel).
    const QList<QDialog*> dialogs = findChildren<QDialog*>();
    for (QDialog* dialog : dialogs) {
        if (dialog->isVisible())
            dialog->reject();
    }
    QWidget::hideEvent(event);
}

qint64 FloatingPanel::msecsSinceHidden() const {
    return m_sinceHidden.isValid() ? m_sinceHidden.elapsed() : -1;
}
