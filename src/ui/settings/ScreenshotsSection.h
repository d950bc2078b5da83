#pragma once

#include <QWidget>

class Prefs;
class QLabel;
class ScreenshotWatcher;
class SettingsMenu;
class SettingsSwitch;

// Automatic copying, the watched folder, the dedicated folder and the auto-delete age.
class ScreenshotsSection : public QWidget {
    Q_OBJECT
public:
    ScreenshotsSection(Prefs& prefs, ScreenshotWatcher& watcher, QWidget* parent = nullptr);

    SettingsSwitch* autoCopySwitch() const { return m_autoCopy; }
    SettingsSwitch* dedicatedFolderSwitch() const { return m_dedicatedFolder; }
    SettingsMenu* autoDeleteMenu() const { return m_autoDelete; }
    // The full path of the watched folder as last shown.
    QString watchedFolderText() const;
    // Which tool's setting or default that folder comes from, as last shown.
    QString watchedFolderOriginText() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refresh();

    Prefs& m_prefs;
    ScreenshotWatcher& m_watcher;
    SettingsSwitch* m_autoCopy;
    QLabel* m_folder;
    QLabel* m_origin;
    SettingsSwitch* m_dedicatedFolder;
    SettingsMenu* m_autoDelete;
};
