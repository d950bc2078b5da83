#include "app/AppDelegate.h"
#include "app/AppServices.h"
#include "app/CommandLine.h"
#include "app/Translations.h"
#include "platform/CapabilityReport.h"
#include "platform/PlatformLoader.h"
#include "platform/dbus/DBusCommandClient.h"
#include "platform/dbus/DBusCommandService.h"
#include "platform/dbus/DBusSingleInstance.h"
#include "platform/wayland/WaylandPlatform.h"
#include "settings/JsonDefaultsStore.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <memory>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {
// Blocks from this size on get mappings of their own.
constexpr int kLargeBlock = 1024 * 1024;
} // namespace

int main(int argc, char* argv[]) {
    // With options, `quillet` gives a command to the running Quillet (or
    // prints help): no window system is needed for that.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (CommandLine::isCommand(arguments)) {
        int status = 0;
        {
            // Only the status report asks the window system, as Quillet would.
            std::unique_ptr<QCoreApplication> app;
            if (CommandLine::needsWindowSystem(arguments)) {
                WaylandPlatform::preferXWaylandWithoutClipboardAccess();
                if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
                    qEnvironmentVariableIsEmpty("DISPLAY") &&
                    qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
                    qputenv("QT_QPA_PLATFORM", "offscreen");
                QGuiApplication::setDesktopFileName(QStringLiteral("com.ovo.quillet"));
                app = std::make_unique<QGuiApplication>(argc, argv);
            } else {
                app = std::make_unique<QCoreApplication>(argc, argv);
            }
            const Translations translations;
            const DBusCommandClient client;
            const auto report = [] {
                // The user's settings only to read: the report changes nothing.
                JsonDefaultsStore defaults(JsonDefaultsStore::userPath());
                const Platform platform = PlatformLoader::load(defaults);
                return CommandLine::Status{platform.name, CapabilityReport::collect(platform)};
            };
            status = CommandLine(client, report).run(QCoreApplication::arguments());
        }
        // Qt's D-Bus thread may still be delivering the bus's greeting while
        // the process's static objects are torn down, and then prints
        // warnings into the one line a script reads: a command, done, leaves
        // without that teardown.
        std::fflush(stdout);
        std::fflush(stderr);
        std::_Exit(status);
    }

    // A copied picture passes through buffers of tens of megabytes. glibc
    // raises its threshold for giving large blocks mappings of their own to
    // the largest block freed, so after one such picture the next ones are
    // served from the heap, whose memory stays with the process (some 70 MiB
    // after a 25 MB copy, measured); a fixed threshold returns them when freed.
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, kLargeBlock);
#endif
    WaylandPlatform::preferXWaylandWithoutClipboardAccess();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillet"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLET_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);
    // The installed desktop entry and icon name the application to the
    // desktop (task switchers, notifications, the Wayland app id).
    QApplication::setDesktopFileName(QStringLiteral("com.ovo.quillet"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("com.ovo.quillet")));
    // Before the platform and the windows: they take their texts when built.
    const Translations translations;

    // A second start brings the running Quillet's panel forward instead.
    DBusSingleInstance instance(DBusSingleInstance::defaultServiceName());
    DBusCommandService commands(instance);
    if (instance.claim() == DBusSingleInstance::Outcome::ActivatedOther)
        return 0;

    // The services first, then the shell and its windows, which get them by reference.
    AppServices services;
    AppDelegate delegate(services);
    QObject::connect(&instance, &DBusSingleInstance::activateRequested, &delegate,
                     [&delegate] { delegate.showPanel(); });
    delegate.takeCommandsFrom(commands);
    QTimer::singleShot(0, &delegate, &AppDelegate::applicationDidFinishLaunching);
    return QApplication::exec();
}
