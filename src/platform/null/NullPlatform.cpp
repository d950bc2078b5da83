#include "platform/null/NullPlatform.h"

#include "platform/null/MemoryPasteboard.h"

#include <QHash>

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

// Without a keyboard layout to ask, keys are named as the US layout names
// them, by the shortcut module's virtual key codes.
QString usLayoutCharacter(int keyCode) {
    static const QHash<int, QChar> table = [] {
        // Key code 10 (the ISO key) has no US character.
        const std::pair<int, char> keys[] = {
            {0, 'a'},  {1, 's'},  {2, 'd'},   {3, 'f'},  {4, 'h'},  {5, 'g'},   {6, 'z'},
            {7, 'x'},  {8, 'c'},  {9, 'v'},   {11, 'b'}, {12, 'q'}, {13, 'w'},  {14, 'e'},
            {15, 'r'}, {16, 'y'}, {17, 't'},  {18, '1'}, {19, '2'}, {20, '3'},  {21, '4'},
            {22, '6'}, {23, '5'}, {24, '='},  {25, '9'}, {26, '7'}, {27, '-'},  {28, '8'},
            {29, '0'}, {30, ']'}, {31, 'o'},  {32, 'u'}, {33, '['}, {34, 'i'},  {35, 'p'},
            {37, 'l'}, {38, 'j'}, {39, '\''}, {40, 'k'}, {41, ';'}, {42, '\\'}, {43, ','},
            {44, '/'}, {45, 'n'}, {46, 'm'},  {47, '.'}, {50, '`'}};
        QHash<int, QChar> t;
        for (const auto& [code, c] : keys)
            t.insert(code, QLatin1Char(c));
        return t;
    }();
    const auto it = table.constFind(keyCode);
    return it == table.constEnd() ? QString() : QString(*it);
}

class NoHotKeys : public HotKeyBackend {
public:
    int grab(int, int) override { return -1; }
    void ungrab(int, int) override {}
    bool isAvailable(int, int) override { return false; }
    std::optional<int> keyCodeForScanCode(quint32) const override { return std::nullopt; }
    QString layoutCharacter(int keyCode) const override { return usLayoutCharacter(keyCode); }
    QString unavailableReason() const override {
        return QStringLiteral("Quillet runs without a window system here, so it cannot listen "
                              "for shortcuts.");
    }
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
    p.hotKeys = std::make_unique<NoHotKeys>();
    p.screenshotLocation = std::make_unique<NoScreenshotLocation>();
    p.screenCaptureProbe = std::make_shared<NoCaptureProbe>();
    p.trash = std::make_unique<NoTrash>();
    p.sound = std::make_unique<NoSound>();
    p.loginItem = std::make_unique<NoLoginItem>();
    p.makeFolderWatch = [] {
        return std::make_unique<NoFolderWatch>();
    };
    return p;
}
