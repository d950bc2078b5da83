#include "ui/panel/ScreenshotsView.h"

#include "history/CopyBack.h"
#include "platform/dbus/FileManagerReveal.h"
#include "screenshots/ScreenshotWatcher.h"
#include "ui/DarkTheme.h"
#include "ui/PanelFormat.h"
#include "ui/QuickLook.h"
#include "ui/Toast.h"
#include "ui/panel/EmptyState.h"
#include "ui/panel/PanelState.h"
#include "ui/panel/RenamePrompt.h"
#include "ui/panel/ScreenshotGridView.h"
#include "ui/panel/ScreenshotListModel.h"

#include <QDesktopServices>
#include <QMenu>
#include <QStackedWidget>
#include <QVBoxLayout>

ScreenshotsView::ScreenshotsView(PanelState& state, UiServices& services, QWidget* parent)
    : QWidget(parent)
    , m_state(state)
    , m_ui(services)
    , m_model(new ScreenshotListModel(services.thumbnails, this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_body = new QStackedWidget;
    m_grid = new ScreenshotGridView(*m_model);
    m_body->addWidget(m_grid);
    m_empty = new EmptyState(QStringLiteral("camera.viewfinder"), 34);
    m_empty->setTexts(tr("No screenshots yet"), tr("Press PrtSc \u2014 new captures appear here\n"
                                                   "and land on your clipboard."));
    m_body->addWidget(m_empty);
    layout->addWidget(m_body);
    m_body->setCurrentWidget(m_empty);

    connect(m_grid, &ScreenshotGridView::hovered, &m_state, &PanelState::setQuickLookURL);
    connect(m_grid, &ScreenshotGridView::clicked, this, [this](const QUrl& url) {
        m_ui.copyBack.copyScreenshot(url);
        m_state.setQuickLookURL(url);
        m_ui.toast.show(tr("Copied"));
    });
    connect(m_grid, &ScreenshotGridView::contextMenuRequested, this,
            &ScreenshotsView::showContextMenu);
    connect(m_grid, &ScreenshotGridView::quickLookRequested, &m_ui.quickLook, &QuickLook::preview);
    // As the menu's "Move to Trash": at once, without asking.
    connect(m_grid, &ScreenshotGridView::trashRequested, &m_ui.watcher,
            &ScreenshotWatcher::trashScreenshot);
}

void ScreenshotsView::setScreenshots(const QList<QUrl>& urls) {
    m_model->setScreenshots(urls);
    m_body->setCurrentWidget(urls.isEmpty() ? static_cast<QWidget*>(m_empty)
                                            : static_cast<QWidget*>(m_grid));
}

bool ScreenshotsView::showsEmptyState() const {
    return m_body->currentWidget() == m_empty;
}

void ScreenshotsView::revisit() {
    m_model->revisit();
}

void ScreenshotsView::copy(const QUrl& url) {
    m_ui.copyBack.copyScreenshot(url);
    m_ui.toast.show(tr("Copied"));
}

void ScreenshotsView::copyFileOnly(const QUrl& url) {
    m_ui.copyBack.copyFileOnly(url);
    m_ui.toast.show(tr("Copied file"));
}

void ScreenshotsView::showContextMenu(const QUrl& url, const QPoint& globalPos) {
    QMenu menu(this);
    DarkTheme::apply(&menu, DarkTheme::panelPopupBackground());
    connect(menu.addAction(tr("Copy")), &QAction::triggered, this, [this, url] { copy(url); });
    connect(menu.addAction(tr("Copy as File Only")), &QAction::triggered, this,
            [this, url] { copyFileOnly(url); });
    menu.addSeparator();
    connect(menu.addAction(tr("Open")), &QAction::triggered, this,
            [url] { QDesktopServices::openUrl(url); });
    connect(menu.addAction(tr("Reveal in File Manager")), &QAction::triggered, this,
            [url] { FileManagerReveal::reveal(url); });
    connect(menu.addAction(tr("Quick Look")), &QAction::triggered, this,
            [this, url] { m_ui.quickLook.preview(url); });
    menu.addSeparator();
    connect(menu.addAction(tr("Rename\u2026")), &QAction::triggered, this,
            [this, url] { startRename(url); });
    QAction* trash = menu.addAction(tr("Move to Trash"));
    trash->setProperty("destructive", true);
    connect(trash, &QAction::triggered, this, [this, url] { m_ui.watcher.trashScreenshot(url); });
    menu.exec(globalPos);
}

void ScreenshotsView::startRename(const QUrl& url) {
    if (m_prompt)
        m_prompt->reject();
    m_renaming = url;
    m_prompt = new RenamePrompt(baseNameOf(url), this);
    connect(m_prompt, &QDialog::finished, this,
            [this](int result) { finishRename(result == QDialog::Accepted); });
    m_prompt->open();
}

void ScreenshotsView::finishRename(bool accepted) {
    const QUrl target = m_renaming;
    const QString name = m_prompt ? m_prompt->name() : QString();
    m_renaming.clear();
    if (m_prompt)
        m_prompt->deleteLater();
    // The outcome is not reported: a refused name simply leaves the grid as it was.
    if (accepted && !target.isEmpty())
        m_ui.watcher.renameScreenshot(target, name);
}
