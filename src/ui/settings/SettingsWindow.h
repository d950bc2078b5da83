#pragma once

#include "ui/UiServices.h"
#include "ui/settings/SettingsSection.h"

#include <QWidget>

class AboutSection;
class ClipboardSection;
class GeneralSection;
class QLabel;
class QStackedWidget;
class ScreenshotsSection;
class SettingsTabBar;
class ShortcutsSection;

// The settings window: a tab bar of sections over the selected section's rows. Every
// control writes its setting at once and follows changes made elsewhere. There is one
// window, made once by the application; closing only hides it, so the section and a
// half-typed exclusion are still there next time.
class SettingsWindow : public QWidget {
    Q_OBJECT
public:
    explicit SettingsWindow(UiServices& services, QWidget* parent = nullptr);

    // Centred on the primary screen the first time, then brought to the front
    // with keyboard focus.
    void present();

    SettingsSection section() const { return m_section; }
    void setSection(SettingsSection section);

    SettingsTabBar* tabBar() const { return m_tabBar; }
    QLabel* heading() const { return m_heading; }
    GeneralSection* general() const { return m_general; }
    ScreenshotsSection* screenshots() const { return m_screenshots; }
    ClipboardSection* clipboard() const { return m_clipboard; }
    ShortcutsSection* shortcuts() const { return m_shortcuts; }
    AboutSection* about() const { return m_about; }

Q_SIGNALS:
    // The About section's "Check for Updates…".
    void checkForUpdatesRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool m_placed = false;
    SettingsSection m_section = SettingsSection::General;
    SettingsTabBar* m_tabBar;
    QLabel* m_heading;
    QStackedWidget* m_pages;
    GeneralSection* m_general;
    ScreenshotsSection* m_screenshots;
    ClipboardSection* m_clipboard;
    ShortcutsSection* m_shortcuts;
    AboutSection* m_about;
};
