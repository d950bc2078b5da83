#pragma once

#include "history/ClipItem.h"

#include <QIcon>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

// The operations of other subsystems that the panel calls: copy back and
// paste, the screenshot file operations and the thumbnail cache. standard()
// binds them to the process-wide services; tests hand their own set to the
// views. An operation left empty falls back to a plain behaviour noted
// beside it.
struct PanelServices {
    // A click on a clip row: copy, toast, hide and paste as the settings
    // say. Empty: the text or file goes to the clipboard and "Copied" shows.
    std::function<void(const ClipItem& item, std::function<void()> showCopiedToast,
                       std::function<void()> hideWindow)>
        chooseItem;
    // Empty: the file reference (plus the image for PNG) goes to the clipboard.
    std::function<void(const QUrl& file)> copyScreenshot;
    // Empty: only the file reference goes to the clipboard.
    std::function<void(const QUrl& file)> copyFileOnly;
    // Empty: nothing happens.
    std::function<std::optional<QUrl>(const QUrl& file, const QString& newName)> renameScreenshot;
    std::function<void(const QUrl& file)> trashScreenshot;
    // Empty: the screenshot itself is read at thumbnail size.
    std::function<QUrl(const QUrl& file)> thumbnailURL;
    std::function<void(const QUrl& source, const QUrl& target)> generateThumbnail;
    // Empty: the desktop's default handlers.
    std::function<void(const QUrl& file)> openFile;
    std::function<void(const QUrl& file)> revealFile;
    // Called right before the panel shows, so a paste can go back later.
    std::function<void()> rememberFrontmostWindow;
    // The icon of the application a clip came from. Empty: no icons.
    std::function<QIcon(const QString& appId)> appIcon;

    // Copy back, the screenshot watcher, the thumbnail cache and the
    // application icons of the process.
    static PanelServices standard();
};
