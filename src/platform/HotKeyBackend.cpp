#include "platform/HotKeyBackend.h"

#include "platform/EvdevKeyCodes.h"
#include "platform/x11/X11HotKeys.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

HotKeyBackend::~HotKeyBackend() = default;

bool HotKeyBackend::isWaylandSession() {
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           qgetenv("XDG_SESSION_TYPE") == "wayland";
}

QString HotKeyBackend::waylandReason() {
    return QCoreApplication::translate(
        "CapabilityReport", "Under Wayland the desktop passes keys to Quillet only while one of "
                            "its windows has focus: bind a key to \"quillet --toggle-picker\" in "
                            "the desktop's own keyboard settings instead.");
}

namespace {

// Sessions without X11 (Wayland, offscreen) offer no global grabs to an
// ordinary client: every registration fails with a status of its own.
class UnavailableHotKeys : public HotKeyBackend {
public:
    int grab(int, int) override { return -1; }
    void ungrab(int, int) override {}
    bool isAvailable(int, int) override { return true; }
    std::optional<int> keyCodeForScanCode(quint32 scanCode) const override {
        return scanCode >= 8 ? keyCodeForEvdevCode(int(scanCode) - 8) : std::nullopt;
    }
    QString layoutCharacter(int) const override { return {}; }
    QString unavailableReason() const override {
        return isWaylandSession() ? waylandReason() : QString();
    }
};

} // namespace

std::unique_ptr<HotKeyBackend> HotKeyBackend::createForPlatform() {
    if (auto* x11 =
            qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
        // The offscreen platform offers the interface too, without a connection.
        xcb_connection_t* connection = x11->connection();
        const xcb_screen_t* screen =
            connection ? xcb_setup_roots_iterator(xcb_get_setup(connection)).data : nullptr;
        if (screen)
            return std::make_unique<X11HotKeys>(connection, screen->root);
    }
    return std::make_unique<UnavailableHotKeys>();
}
