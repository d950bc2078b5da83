#include "app/AppDelegate.h"
#include "app/AppServices.h"
#include "app/CommandLine.h"
#include "platform/dbus/DBusCommandClient.h"
#include "platform/dbus/DBusCommandService.h"
#include "platform/dbus/DBusSingleInstance.h"
#include "platform/wayland/WaylandPlatform.h"

#include <QApplication>
#include <QCoreApplication>
#include <QIcon>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    // With options, `quillet` gives a command to the running Quillet (or
    // prints help): no window system is needed for that.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (CommandLine::isCommand(arguments)) {
        int status = 0;
        {
            QCoreApplication app(argc, argv);
            const DBusCommandClient client;
            status = CommandLine(client).run(QCoreApplication::arguments());
        }
        // Qt's D-Bus thread may still be delivering the bus's greeting while
        // the process's static objects are torn down, and then prints
        // warnings into the one line a script reads: a command, done, leaves
        // without that teardown.
        std::fflush(stdout);
        std::fflush(stderr);
        std::_Exit(status);
    }

    WaylandPlatform::preferXWaylandWithoutClipboardAccess();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillet"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLET_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);
    // The installed desktop entry and icon name the application to the
    // desktop (task switchers, notifications, the Wayland app id).
    QApplication::setDesktopFileName(QStringLiteral("com.ovo.quillet"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("com.ovo.quillet")));

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
