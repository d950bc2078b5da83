#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class DefaultsStore;
class LoginItem;

// Every user setting, loaded from the user-defaults store once and written
// back on every assignment (also when the value did not change). Launch at
// login is not stored: it mirrors the login-item service.
class Prefs : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool autoCopyScreenshots READ autoCopyScreenshots WRITE setAutoCopyScreenshots NOTIFY
                   autoCopyScreenshotsChanged)
    Q_PROPERTY(bool playSound READ playSound WRITE setPlaySound NOTIFY playSoundChanged)
    Q_PROPERTY(bool showBadge READ showBadge WRITE setShowBadge NOTIFY showBadgeChanged)
    Q_PROPERTY(bool clipboardEnabled READ clipboardEnabled WRITE setClipboardEnabled NOTIFY
                   clipboardEnabledChanged)
    Q_PROPERTY(qint64 maxItems READ maxItems WRITE setMaxItems NOTIFY maxItemsChanged)
    Q_PROPERTY(qint64 maxDays READ maxDays WRITE setMaxDays NOTIFY maxDaysChanged)
    Q_PROPERTY(
        QStringList excludedApps READ excludedApps WRITE setExcludedApps NOTIFY excludedAppsChanged)
    Q_PROPERTY(
        bool pasteDirectly READ pasteDirectly WRITE setPasteDirectly NOTIFY pasteDirectlyChanged)
    Q_PROPERTY(bool dedicatedFolder READ dedicatedFolder WRITE setDedicatedFolder NOTIFY
                   dedicatedFolderChanged)
    Q_PROPERTY(qint64 autoDeleteDays READ autoDeleteDays WRITE setAutoDeleteDays NOTIFY
                   autoDeleteDaysChanged)
    Q_PROPERTY(
        bool launchAtLogin READ launchAtLogin WRITE setLaunchAtLogin NOTIFY launchAtLoginChanged)

public:
    Prefs(DefaultsStore& store, LoginItem& loginItem, QObject* parent = nullptr);

    // $XDG_DATA_HOME/Quillet, created (mode 0700) on every call; errors ignored.
    static QString appSupportDir();

    static QStringList defaultExcludedApps();

    bool autoCopyScreenshots() const { return m_autoCopyScreenshots; }
    bool playSound() const { return m_playSound; }
    bool showBadge() const { return m_showBadge; }
    bool clipboardEnabled() const { return m_clipboardEnabled; }
    qint64 maxItems() const { return m_maxItems; }
    qint64 maxDays() const { return m_maxDays; }
    QStringList excludedApps() const { return m_excludedApps; }
    bool pasteDirectly() const { return m_pasteDirectly; }
    bool dedicatedFolder() const { return m_dedicatedFolder; }
    qint64 autoDeleteDays() const { return m_autoDeleteDays; }
    bool launchAtLogin() const { return m_launchAtLogin; }

    void setAutoCopyScreenshots(bool value);
    void setPlaySound(bool value);
    void setShowBadge(bool value);
    void setClipboardEnabled(bool value);
    void setMaxItems(qint64 value);
    void setMaxDays(qint64 value);
    void setExcludedApps(const QStringList& value);
    void setPasteDirectly(bool value);
    void setDedicatedFolder(bool value);
    void setAutoDeleteDays(qint64 value);
    void setLaunchAtLogin(bool value);

Q_SIGNALS:
    void autoCopyScreenshotsChanged();
    void playSoundChanged();
    void showBadgeChanged();
    void clipboardEnabledChanged();
    void maxItemsChanged();
    void maxDaysChanged();
    void excludedAppsChanged();
    void pasteDirectlyChanged();
    void dedicatedFolderChanged();
    void autoDeleteDaysChanged();
    void launchAtLoginChanged();

private:
    DefaultsStore& m_store;
    LoginItem& m_loginItem;
    bool m_autoCopyScreenshots;
    bool m_playSound;
    bool m_showBadge;
    bool m_clipboardEnabled;
    qint64 m_maxItems;
    qint64 m_maxDays;
    QStringList m_excludedApps;
    bool m_pasteDirectly;
    bool m_dedicatedFolder;
    qint64 m_autoDeleteDays;
    bool m_launchAtLogin;
};
