#include "ui/settings/SettingsWindow.h"

#include "ui/DarkTheme.h"
#include "ui/Palette.h"
#include "ui/settings/AboutSection.h"
#include "ui/settings/ClipboardSection.h"
#include "ui/settings/GeneralSection.h"
#include "ui/settings/ScreenshotsSection.h"
#include "ui/settings/SettingsStyle.h"
#include "ui/settings/SettingsTabBar.h"
#include "ui/settings/ShortcutsSection.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <QWindow>

namespace {
QScrollArea* scrolling(QWidget* content) {
    auto* area = new QScrollArea;
    area->setFrameShape(QFrame::NoFrame);
    // Tab goes to the controls; the area follows them into view.
    area->setFocusPolicy(Qt::NoFocus);
    area->setWidgetResizable(true);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The window paints its own background; the scrolling area shows it through.
    QPalette clear = area->palette();
    clear.setColor(QPalette::Window, Qt::transparent);
    area->setPalette(clear);
    area->viewport()->setPalette(clear);
    area->viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);
    auto* padded = new QWidget;
    padded->setAutoFillBackground(false);
    auto* layout = new QVBoxLayout(padded);
    layout->setContentsMargins(16, 10, 16, 16);
    layout->addWidget(content);
    area->setWidget(padded);
    return area;
}

// Dark controls whatever the desktop's theme: the window has a fixed look.
// Buttons and fields as quiet translucent shapes on the dark background.
QString controlStyleSheet() {
    return QStringLiteral(
        "QPushButton { color: #edf5ff; background: rgba(255,255,255,0.10);"
        "  border: 1px solid rgba(255,255,255,0.16); border-radius: 6px; padding: 3px 12px; }"
        "QPushButton:hover { background: rgba(255,255,255,0.16); }"
        "QPushButton:pressed { background: rgba(255,255,255,0.22); }"
        "QLineEdit { color: #edf5ff; background: rgba(0,0,0,0.25);"
        "  border: 1px solid rgba(255,255,255,0.16); border-radius: 6px; padding: 3px 6px; }"
        "QLineEdit:focus { border-color: rgb(107,138,245); }"
        "QComboBox { color: #edf5ff; background: rgba(255,255,255,0.10);"
        "  border: 1px solid rgba(255,255,255,0.16); border-radius: 6px; padding: 2px 8px; }"
        "QComboBox:hover { background: rgba(255,255,255,0.16); }"
        "QComboBox::drop-down { border: none; width: 18px; }"
        "QComboBox QAbstractItemView { color: #edf5ff; background: #2a2b31;"
        "  selection-background-color: rgb(107,138,245); border: 1px solid rgba(255,255,255,0.16); "
        "}"
        "QToolButton { border: none; background: transparent; }"
        "QScrollArea, QScrollArea > QWidget > QWidget { background: transparent; }");
}
} // namespace

SettingsWindow::SettingsWindow(UiServices& services, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_tabBar(new SettingsTabBar)
    , m_heading(new QLabel)
    , m_pages(new QStackedWidget)
    , m_general(new GeneralSection(services.prefs))
    , m_screenshots(new ScreenshotsSection(services.prefs, services.watcher))
    , m_clipboard(new ClipboardSection(services.prefs, services.copyBack, services.store,
                                       services.icons, services.capabilities))
    , m_shortcuts(new ShortcutsSection(services.shortcuts))
    , m_about(new AboutSection(services.capabilities)) {
    setWindowTitle(tr("Quillet Settings"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFixedSize(500, 580);
    DarkTheme::apply(this, SettingsStyle::windowBackground());
    setAutoFillBackground(false);
    setStyleSheet(controlStyleSheet());

    auto* root = new QVBoxLayout(this);
    // The desktop draws the title bar above the content, so the tab bar needs only a
    // little air below it rather than room for a title bar of its own.
    root->setContentsMargins(0, 14, 0, 0);
    root->setSpacing(0);
    root->addWidget(m_tabBar, 0, Qt::AlignHCenter);
    root->addSpacing(9);
    SettingsStyle::style(m_heading, 10, QFont::Bold, Palette::textDim());
    m_heading->setFont(SettingsStyle::font(10, QFont::Bold, 1.4));
    root->addWidget(m_heading, 0, Qt::AlignHCenter);
    root->addWidget(m_pages, 1);

    for (QWidget* page : {static_cast<QWidget*>(m_general), static_cast<QWidget*>(m_screenshots),
                          static_cast<QWidget*>(m_clipboard), static_cast<QWidget*>(m_shortcuts),
                          static_cast<QWidget*>(m_about)})
        m_pages->addWidget(scrolling(page));

    connect(m_tabBar, &SettingsTabBar::sectionClicked, this, &SettingsWindow::setSection);
    connect(m_about, &AboutSection::checkForUpdatesRequested, this,
            &SettingsWindow::checkForUpdatesRequested);
    setSection(SettingsSection::General);
}

void SettingsWindow::present() {
    if (!m_placed) {
        m_placed = true;
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    show();
    raise();
    activateWindow();
}

void SettingsWindow::setSection(SettingsSection section) {
    m_section = section;
    m_tabBar->setSection(section);
    // The keyboard leaving a hidden section goes to its tab, not into the
    // new section, where it could land on the shortcut recorder and record.
    if (m_pages->isAncestorOf(QApplication::focusWidget()))
        m_tabBar->focusSection();
    m_heading->setText(SettingsSections::title(section).toUpper());
    m_pages->setCurrentIndex(static_cast<int>(section));
}

void SettingsWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QLinearGradient background(0, 0, 0, height());
    background.setColorAt(0, SettingsStyle::windowBackground().lighter(112));
    background.setColorAt(1, SettingsStyle::windowBackground());
    p.fillRect(rect(), background);
}

void SettingsWindow::keyPressEvent(QKeyEvent* event) {
    // Ctrl+Tab and Ctrl+Shift+Tab go through the sections, as in a tabbed dialog.
    const QList<SettingsSection> all = SettingsSections::all();
    if ((event->modifiers() & Qt::ControlModifier) &&
        (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)) {
        const qsizetype step = event->key() == Qt::Key_Tab ? 1 : all.size() - 1;
        setSection(all.at((all.indexOf(m_section) + step) % all.size()));
        return;
    }
    QWidget::keyPressEvent(event);
}

void SettingsWindow::mousePressEvent(QMouseEvent* event) {
    // Presses that no control takes (the background, headings, help texts) move the window.
    if (event->button() == Qt::LeftButton && windowHandle() && windowHandle()->startSystemMove()) {
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}
