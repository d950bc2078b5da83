#pragma once

#include "platform/Capability.h"
#include "platform/ClipboardManagerRole.h"
#include "platform/FolderWatch.h"
#include "platform/FrontmostApp.h"
#include "platform/HotKeyBackend.h"
#include "platform/LoginItem.h"
#include "platform/PasteKeystroke.h"
#include "platform/Pasteboard.h"
#include "platform/ScreenCaptureProbe.h"
#include "platform/ScreenshotLocation.h"
#include "platform/SystemSound.h"
#include "platform/Trash.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>

class DefaultsStore;

// One object per window-system service, made once at start-up by the platform
// loader and owned by the application root; everything else receives
// references. The objects live as long as this struct and are destroyed in
// reverse order of declaration (the pasteboard outlives the manager role that
// keeps its contents).
struct Platform {
    // "wayland", "x11" or "null": what the log and the capability report show.
    QString name;
    // What of Quillet's work this session allows and how: the clipboard, the
    // source application, pasting directly and the global shortcut.
    QList<Capability> capabilities;
    // What the services below share (the X11 platform's own display
    // connection); declared first so that it is destroyed last.
    std::shared_ptr<void> connection;
    std::unique_ptr<Pasteboard> pasteboard;
    std::unique_ptr<PasteKeystroke> pasteKeystroke;
    std::unique_ptr<FrontmostApp> frontmostApp;
    std::unique_ptr<ClipboardManagerRole> clipboardManager;
    std::unique_ptr<HotKeyBackend> hotKeys;
    std::unique_ptr<ScreenshotLocation> screenshotLocation;
    // Shared: the screenshot scan asks it from a worker thread.
    std::shared_ptr<const ScreenCaptureProbe> screenCaptureProbe;
    std::unique_ptr<Trash> trash;
    std::unique_ptr<SystemSound> sound;
    std::unique_ptr<LoginItem> loginItem;
    // The screenshot folder is re-watched whenever it changes, so watches are
    // made on demand.
    std::function<std::unique_ptr<FolderWatch>()> makeFolderWatch;
};
