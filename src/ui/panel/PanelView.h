#pragma once

#include "ui/UiServices.h"

#include <QWidget>

class ClipStore;
class ClipboardView;
class PanelCard;
class PanelState;
class QLabel;
class QPushButton;
class QStackedWidget;
class ScreenshotsView;

// The panel's content: the sky picture, the header with the tab switcher,
// the selected tab on its card, and the footer.
class PanelView : public QWidget {
    Q_OBJECT

public:
    static constexpr int panelWidth = 460;
    static constexpr int panelHeight = 560;
    static constexpr int cornerRadius = 16;

    PanelView(PanelState& state, UiServices& services, QWidget* parent = nullptr);

    ClipboardView& clipboardView() const { return *m_clipboard; }
    ScreenshotsView& screenshotsView() const { return *m_screenshots; }
    QString versionText() const;
    QString hintText() const;
    // The footer's version text: "v" and the application version, else "v1.0".
    static QString versionLabel(const QString& applicationVersion);
    // Gives the keyboard to the shown tab: the search field, or the grid.
    void focusTab();

Q_SIGNALS:
    void settingsRequested();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void showTab();

    PanelState& m_state;
    const QString m_clipboardHint;
    ClipboardView* m_clipboard = nullptr;
    ScreenshotsView* m_screenshots = nullptr;
    QStackedWidget* m_tabs = nullptr;
    QLabel* m_version = nullptr;
    QLabel* m_hint = nullptr;
};
