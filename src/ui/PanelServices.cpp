#include "ui/PanelServices.h"

#include "history/CopyBack.h"
#include "platform/dbus/FileManagerReveal.h"
#include "platform/freedesktop/DesktopEntryIndex.h"
#include "screenshots/ScreenshotWatcher.h"
#include "thumbnails/ThumbnailCache.h"
#include "ui/AppIcons.h"

namespace {
// One index of the desktop entries for the panel and the picker alike.
QIcon iconOfApplication(const QString& appId) {
    static DesktopEntryIndex entries;
    static AppIcons icons(entries);
    return icons.icon(appId);
}
} // namespace

PanelServices PanelServices::standard() {
    PanelServices s;
    s.chooseItem = [](const ClipItem& item, std::function<void()> showCopiedToast,
                      std::function<void()> hideWindow) {
        CopyBack::shared().chooseItem(item, showCopiedToast, hideWindow);
    };
    s.copyScreenshot = [](const QUrl& file) {
        CopyBack::shared().copyScreenshot(file);
    };
    s.copyFileOnly = [](const QUrl& file) {
        CopyBack::shared().copyFileOnly(file);
    };
    s.renameScreenshot = [](const QUrl& file, const QString& newName) {
        return ScreenshotWatcher::shared().renameScreenshot(file, newName);
    };
    s.trashScreenshot = [](const QUrl& file) {
        ScreenshotWatcher::shared().trashScreenshot(file);
    };
    s.thumbnailURL = [](const QUrl& file) {
        return ::thumbnailURL(file);
    };
    s.generateThumbnail = [](const QUrl& source, const QUrl& target) {
        ::generateThumbnail(source, target);
    };
    s.revealFile = [](const QUrl& file) {
        FileManagerReveal::reveal(file);
    };
    s.rememberFrontmostWindow = [] {
        CopyBack::shared().rememberFrontmostWindow();
    };
    s.appIcon = iconOfApplication;
    return s;
}
