#pragma once

#include "platform/ScreenshotLocation.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <mutex>
#include <optional>

class DefaultsStore;

// The save folder of the Linux screenshot tools, chosen by the session:
// Spectacle (KDE), Xfce Screenshooter (XFCE), GNOME Shell's own screenshot UI
// (GNOME; fixed, it cannot be told otherwise), else Flameshot and
// gnome-screenshot (gsettings). A tool without a setting means its default,
// found through the user's folders (xdg-user-dirs), never by English names.
class ToolScreenshotLocation : public ScreenshotLocation {
public:
    // Empty arguments take the environment ($XDG_CONFIG_HOME, $XDG_CURRENT_DESKTOP).
    // memory keeps the tools' previous folders across write() and restore();
    // without one, restore() does nothing.
    explicit ToolScreenshotLocation(QString configHome = {}, QString currentDesktop = {},
                                    DefaultsStore* memory = nullptr);

    Folder resolve() const override;
    QString dedicatedFolder() const override;
    void write(const QString& path) override;
    void restore() override;

    QString spectacleConfig() const;
    QString flameshotConfig() const;
    QString xfceConfig() const;
    static QString picturesFolder();
    // Pictures + the translated "Screenshots", as GNOME Shell names it.
    static QString gnomeShellFolder();
    static QString desktopFolder();

private:
    struct FileKey {
        QString tool;
        QString file;
        QString section;
        QString key;
    };
    QList<FileKey> fileKeys() const;
    std::optional<QString> spectacle() const;
    std::optional<QString> flameshot() const;
    std::optional<QString> xfce() const;
    std::optional<QString> gnomeScreenshot() const;
    void rememberCurrent();

    QString m_configHome;
    QString m_currentDesktop;
    DefaultsStore* m_memory;
    // gnome-screenshot's folder as last read, and what its settings' files
    // looked like then: the minute check asks gsettings again only after a change.
    mutable std::mutex m_gsettingsMutex;
    mutable QByteArray m_gsettingsStamp;
    mutable std::optional<QString> m_gsettingsFolder;
};
