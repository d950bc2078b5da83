#pragma once

#include "platform/ScreenshotLocation.h"

#include <QString>

#include <optional>

// The save folder of the Linux screenshot tools: Spectacle (KDE), Xfce
// Screenshooter, Flameshot and gnome-screenshot (gsettings). GNOME Shell's
// own screenshot UI always saves to Pictures/Screenshots and cannot be told
// otherwise; with nothing configured that folder is the answer when it exists.
class ToolScreenshotLocation : public ScreenshotLocation {
public:
    // Empty arguments take the environment ($XDG_CONFIG_HOME, $XDG_CURRENT_DESKTOP).
    explicit ToolScreenshotLocation(QString configHome = {}, QString currentDesktop = {});

    QString read() const override;
    void write(const QString& path) override;

    QString spectacleConfig() const;
    QString flameshotConfig() const;
    QString xfceConfig() const;
    // Pictures + the translated "Screenshots", as GNOME Shell names it.
    static QString gnomeShellFolder();
    static QString desktopFolder();

private:
    std::optional<QString> spectacle() const;
    std::optional<QString> flameshot() const;
    std::optional<QString> xfce() const;
    std::optional<QString> gnomeScreenshot() const;

    QString m_configHome;
    QString m_currentDesktop;
};
