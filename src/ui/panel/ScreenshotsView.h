#pragma once

#include "ui/UiServices.h"
#include "ui/panel/RenamePrompt.h"

#include <QPointer>
#include <QUrl>
#include <QWidget>

class EmptyState;
class PanelState;
class QStackedWidget;

class ScreenshotGridView;
class ScreenshotListModel;

// The screenshots tab: the grid of the watcher's screenshots, or the empty
// state, and the rename prompt.
class ScreenshotsView : public QWidget {
    Q_OBJECT

public:
    ScreenshotsView(PanelState& state, UiServices& services, QWidget* parent = nullptr);

    // The watcher's list, newest first.
    void setScreenshots(const QList<QUrl>& urls);
    ScreenshotListModel& model() const { return *m_model; }
    ScreenshotGridView& grid() const { return *m_grid; }
    bool showsEmptyState() const;
    EmptyState& emptyState() const { return *m_empty; }
    // The open rename prompt and the screenshot it renames, if any.
    RenamePrompt* renamePrompt() const { return m_prompt; }
    QUrl renaming() const { return m_renaming; }

    void copy(const QUrl& url);
    void copyFileOnly(const QUrl& url);
    void startRename(const QUrl& url);
    void showContextMenu(const QUrl& url, const QPoint& globalPos);
    // New thumbnails get another chance each time the panel is shown.
    void revisit();

private:
    void finishRename(bool accepted);

    PanelState& m_state;
    UiServices& m_ui;
    ScreenshotListModel* m_model = nullptr;
    ScreenshotGridView* m_grid = nullptr;
    EmptyState* m_empty = nullptr;
    QStackedWidget* m_body = nullptr;
    QPointer<RenamePrompt> m_prompt;
    QUrl m_renaming;
};
