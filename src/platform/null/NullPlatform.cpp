#include "platform/null/NullPlatform.h"

#include "platform/CapabilityReport.h"
#include "platform/null/MemoryPasteboard.h"
#include "platform/null/NullHotKeys.h"

namespace {

class NoKeystroke : public PasteKeystroke {
public:
    bool isAvailable() const override { return false; }
    void rememberActiveWindow() override {}
    void sendPaste() override {}
};

class NoFrontmostApp : public FrontmostApp {
public:
    std::optional<FrontApp> frontmost() override { return std::nullopt; }
};

class NoClipboardManager : public ClipboardManagerRole {
public:
    bool claim() override { return false; }
    bool isClaimed() const override { return false; }
    bool clipboardHasOwner() override { return true; }
    void finishSave(bool) override {}
};

class NoScreenshotLocation : public ScreenshotLocation {
public:
    Folder resolve() const override { return {}; }
    QString dedicatedFolder() const override { return {}; }
    void write(const QString&) override {}
    void restore() override {}
};

class NoCaptureProbe : public ScreenCaptureProbe {
public:
    bool isScreenCapture(const QString&) const override { return false; }
};

class NoTrash : public Trash {
public:
    bool moveToTrash(const QString&) override { return false; }
};

class NoSound : public SystemSound {
public:
    void play(const QString&) override {}
};

class NoLoginItem : public LoginItem {
public:
    Status status() const override { return Status::NotFound; }
    bool registerItem() override { return false; }
    bool unregisterItem() override { return false; }
};

class NoFolderWatch : public FolderWatch {
public:
    std::function<Handle(const QString&)> pathOpener() const override {
        return [](const QString&) {
            return Handle(-1);
        };
    }
    void adopt(Handle) override {}
    void release(Handle) override {}
    void stop() override {}
    bool isWatching() const override { return false; }
};

} // namespace

Platform NullPlatform::create() {
    Platform p;
    p.name = QStringLiteral("null");
    p.pasteboard = std::make_unique<MemoryPasteboard>();
    p.pasteKeystroke = std::make_unique<NoKeystroke>();
    p.frontmostApp = std::make_unique<NoFrontmostApp>();
    p.clipboardManager = std::make_unique<NoClipboardManager>();
    p.hotKeys = std::make_unique<NullHotKeys>(
        CapabilityReport::tr("Quillet runs without a window system here, so it cannot listen for "
                             "shortcuts."));
    p.screenshotLocation = std::make_unique<NoScreenshotLocation>();
    p.screenCaptureProbe = std::make_shared<NoCaptureProbe>();
    p.trash = std::make_unique<NoTrash>();
    p.sound = std::make_unique<NoSound>();
    p.loginItem = std::make_unique<NoLoginItem>();
    p.makeFolderWatch = [] {
        return std::make_unique<NoFolderWatch>();
    };
    using Id = Capability::Id;
    p.capabilities = {
        CapabilityReport::row(
            Id::clipboard, false, {}, {},
            CapabilityReport::tr("No window system is running, so Quillet sees no clipboard.")),
        CapabilityReport::row(
            Id::sourceApp, false, {}, {},
            CapabilityReport::tr("No window system is running, so no application is known.")),
        CapabilityReport::row(
            Id::pasteDirectly, false, {}, {},
            CapabilityReport::tr("No window system is running, so nothing can be pasted.")),
        CapabilityReport::row(Id::globalShortcut, false, {}, {}, p.hotKeys->unavailableReason()),
    };
    return p;
}
