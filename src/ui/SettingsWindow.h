#pragma once

#include "ui/SettingsHooks.h"
#include "ui/SettingsSection.h"

#include <QWidget>

class AboutSection;
class ClipboardSection;
class GeneralSection;
class Prefs;
class QLabel;
class QStackedWidget;
class ScreenshotsSection;
class SettingsTabBar;
class ShortcutsSection;

// The settings window: a tab bar of sections over the selected section's rows. Every
// control writes its setting at once and follows changes made elsewhere. There is one
// window per process; closing only hides it, so the section and a half-typed exclusion
// are still there next time.
class SettingsWindow : public QWidget {
    Q_OBJECT
public:
    SettingsWindow(Prefs& prefs, SettingsHooks hooks, QWidget* parent = nullptr);

    // Overrides for the process's window; the application installs checkForUpdates here.
    // Hooks left empty use the shared screenshot watcher and copy-back services.
    static SettingsHooks& sharedHooks();
    // The process's window, created on first use with Prefs::shared() and sharedHooks().
    static SettingsWindow& shared();
    // Creates the window if needed, then brings it to the front with keyboard focus.
    static void showSettings();

    SettingsSection section() const { return m_section; }
    void setSection(SettingsSection section);

    SettingsTabBar* tabBar() const { return m_tabBar; }
    QLabel* heading() const { return m_heading; }
    GeneralSection* general() const { return m_general; }
    ScreenshotsSection* screenshots() const { return m_screenshots; }
    ClipboardSection* clipboard() const { return m_clipboard; }
    ShortcutsSection* shortcuts() const { return m_shortcuts; }
    AboutSection* about() const { return m_about; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    static SettingsHooks serviceHooks();

    SettingsHooks m_hooks;
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
