#include "platform/freedesktop/FreedesktopServices.h"

#include "platform/freedesktop/CanberraSound.h"
#include "platform/freedesktop/FreedesktopScreenCaptureProbe.h"
#include "platform/freedesktop/FreedesktopTrash.h"
#include "platform/freedesktop/InotifyFolderWatch.h"
#include "platform/freedesktop/ToolScreenshotLocation.h"
#include "platform/freedesktop/XdgAutostartLoginItem.h"

namespace FreedesktopServices {

void addTo(Platform& p, DefaultsStore& store) {
    p.screenshotLocation = std::make_unique<ToolScreenshotLocation>(QString(), QString(), &store);
    p.screenCaptureProbe = std::make_shared<FreedesktopScreenCaptureProbe>();
    p.trash = std::make_unique<FreedesktopTrash>();
    p.sound = std::make_unique<CanberraSound>();
    p.loginItem = std::make_unique<XdgAutostartLoginItem>();
    p.makeFolderWatch = [] {
        return std::make_unique<InotifyFolderWatch>();
    };
}

} // namespace FreedesktopServices
