#pragma once

#include "ui/UiServices.h"

#include <QElapsedTimer>
#include <QList>
#include <QUrl>
#include <QWidget>

#include <optional>

class ClipStore;
class PanelState;
class PanelView;

// The borderless, always-on-top window that drops down below the tray icon
// and hosts the panel's views. It takes keyboard focus (the search field on
// the clipboard tab, so typing searches at once); Escape or a click
// elsewhere hides it, except while its preview window is up or a drag out of
// it runs. Hiding keeps the views, the scroll position and the state.
class FloatingPanel : public QWidget {
    Q_OBJECT

public:
    FloatingPanel(PanelState& state, UiServices& services, QWidget* parent = nullptr);

    // Hangs the panel centred 6 points below the tray item's rectangle (in
    // global coordinates), or below the pointer when there is none, inside the
    // available area of that screen.
    void positionBelow(const std::optional<QRect>& trayAnchor);
    // Remembers the window in front (for a later paste), then shows the
    // panel, raises it and gives it the keyboard.
    void present();
    // The screenshot list, newest first.
    void setScreenshots(const QList<QUrl>& urls);

    // How long ago the panel last hid; -1 if it never did. A click on the
    // tray icon first takes the focus (which hides the panel), so a toggle
    // treats a very recent hide as "was open".
    qint64 msecsSinceHidden() const;

    PanelView& view() const { return *m_view; }
    PanelState& state() const { return m_state; }

Q_SIGNALS:
    // The footer's "Settings" button.
    void settingsRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void hideIfFocusLeft();
    // The panel's keys wherever the focus is: Ctrl+Tab and Ctrl+1/2 switch
    // tabs, the rest act on the shown tab's list or grid.
    bool routeKey(QKeyEvent* event, bool inSearchField);
    // The menu of the shown tab's current row or cell; false without one.
    bool openCurrentMenu();

    PanelState& m_state;
    UiServices& m_ui;
    PanelView* m_view = nullptr;
    QWidget* m_border = nullptr;
    QElapsedTimer m_sinceHidden;
    // Whether the application's focus window is the panel, one of its dialogs
    // or its preview.
    bool m_keyboardWithPanel = false;
    // The menu key's context-menu event opened a menu; its key press that
    // follows opens none.
    bool m_menuKeyServed = false;
};
