#include "platform/x11/X11Platform.h"

#include "platform/freedesktop/CanberraSound.h"
#include "platform/freedesktop/FreedesktopScreenCaptureProbe.h"
#include "platform/freedesktop/FreedesktopTrash.h"
#include "platform/freedesktop/InotifyFolderWatch.h"
#include "platform/freedesktop/ToolScreenshotLocation.h"
#include "platform/freedesktop/XdgAutostartLoginItem.h"
#include "platform/x11/X11ClipboardManager.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11FrontmostApp.h"
#include "platform/x11/X11PasteKeystroke.h"
#include "platform/x11/X11Pasteboard.h"

Platform X11Platform::create(DefaultsStore& store) {
    Platform p;
    p.name = QStringLiteral("x11");
    // The keystroke injector and the clipboard manager share one connection,
    // whose events the main thread hands to both. The pasteboard's reader
    // opens its own: it waits for its events on a worker thread. Frontmost
    // application and hot keys use Qt's, whose events Qt reads.
    auto display = std::make_shared<X11Connection>();
    p.connection = display;
    p.pasteboard = std::make_unique<X11Pasteboard>();
    p.pasteKeystroke = std::make_unique<X11PasteKeystroke>(*display);
    p.frontmostApp = std::make_unique<X11FrontmostApp>();
    p.clipboardManager = std::make_unique<X11ClipboardManager>(*display);
    p.hotKeys = HotKeyBackend::createForPlatform();
    p.screenshotLocation = std::make_unique<ToolScreenshotLocation>(QString(), QString(), &store);
    p.screenCaptureProbe = std::make_shared<FreedesktopScreenCaptureProbe>();
    p.trash = std::make_unique<FreedesktopTrash>();
    p.sound = std::make_unique<CanberraSound>();
    p.loginItem = std::make_unique<XdgAutostartLoginItem>();
    p.makeFolderWatch = [] {
        return std::make_unique<InotifyFolderWatch>();
    };
    return p;
}
