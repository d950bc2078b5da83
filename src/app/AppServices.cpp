#include "app/AppServices.h"

#include "platform/CapabilityReport.h"

#include "KeyboardShortcuts/Center.h"
#include "history/ClipStore.h"
#include "history/ClipboardKeeper.h"
#include "history/ClipboardMonitor.h"
#include "history/CopyBack.h"
#include "platform/PlatformLoader.h"
#include "platform/WriteFailures.h"
#include "screenshots/CaptureMarks.h"
#include "screenshots/ScreenshotWatcher.h"
#include "settings/JsonDefaultsStore.h"
#include "settings/Prefs.h"
#include "thumbnails/ThumbnailCache.h"

AppServices::AppServices(const AppOptions& options)
    : m_writeFailures(std::make_unique<WriteFailures>())
    , m_defaults(std::make_unique<JsonDefaultsStore>(
          options.settingsFile.isEmpty() ? JsonDefaultsStore::userPath() : options.settingsFile,
          m_writeFailures.get()))
    , m_platform(PlatformLoader::load(*m_defaults, options.platform)) {
    if (options.adjustPlatform)
        options.adjustPlatform(m_platform, *m_defaults);
    m_capabilities = CapabilityReport::collect(m_platform);
    // Launch at login starts the program running now, installed or not.
    m_platform.loginItem->followExecutable();
    const QString dataDir = options.dataDir.isEmpty() ? Prefs::appSupportDir() : options.dataDir;
    m_prefs = std::make_unique<Prefs>(*m_defaults, *m_platform.loginItem);
    m_thumbnails = std::make_unique<ThumbnailCache>(dataDir + QStringLiteral("/thumbs"),
                                                    m_writeFailures.get());
    m_store = std::make_unique<ClipStore>(dataDir, *m_prefs, m_writeFailures.get());
    m_copyBack =
        std::make_unique<CopyBack>(*m_platform.pasteboard, *m_platform.pasteKeystroke, *m_prefs);
    m_marks = std::make_unique<CaptureMarks>(dataDir + QStringLiteral("/capture-marks"),
                                             m_writeFailures.get());
    m_watcher = std::make_unique<ScreenshotWatcher>(
        *m_prefs, *m_platform.screenshotLocation, *m_platform.trash, *m_platform.sound, *m_marks,
        m_platform.makeFolderWatch(), m_platform.screenCaptureProbe,
        [copyBack = m_copyBack.get()](const QUrl& url) { copyBack->copyScreenshot(url); });
    m_monitor = std::make_unique<ClipboardMonitor>(*m_platform.pasteboard, *m_platform.frontmostApp,
                                                   *m_store, *m_thumbnails, *m_prefs);
    m_keeper = std::make_unique<ClipboardKeeper>(*m_platform.clipboardManager, *m_monitor, *m_store,
                                                 *m_platform.pasteboard, *m_prefs);
    m_shortcuts = std::make_unique<KeyboardShortcuts::Center>(*m_defaults, *m_platform.hotKeys);
}

// Members go in reverse order: the monitor and the watcher, whose threads
// report into the store and the previews, before those; the platform last.
AppServices::~AppServices() = default;

void AppServices::startClipboard() {
    m_monitor->start();
    m_platform.clipboardManager->claim();
}
