#include "app/AppDelegate.h"
#include "app/AppServices.h"
#include "app/DebugChannel.h"
#include "platform/dbus/DBusSingleInstance.h"
#include "platform/wayland/WaylandPlatform.h"

#include <QApplication>
#include <QCoreApplication>
#include <QIcon>
#include <QTimer>

#include <cstdio>
#include <cstring>

int main(int argc, char* argv[]) {
    // `quillet --debug CMD` only hands the command to the running Quillet.
    if (argc >= 2 && std::strcmp(argv[1], "--debug") == 0) {
        QCoreApplication app(argc, argv);
        if (argc != 3) {
            std::fprintf(stderr, "usage: quillet --debug COMMAND\n");
            return 2;
        }
        switch (DebugChannel::send(QString::fromLocal8Bit(argv[2]))) {
        case DebugChannel::SendResult::delivered:
            return 0;
        case DebugChannel::SendResult::noReceiver:
            std::fprintf(stderr, "quillet: Quillet is not running (nothing owns com.ovo.quillet "
                                 "on the session bus); the command was not delivered\n");
            return 1;
        case DebugChannel::SendResult::noBus:
            break;
        }
        std::fprintf(stderr, "quillet: cannot reach the session bus; the command was not "
                             "delivered\n");
        return 1;
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
    if (instance.claim() == DBusSingleInstance::Outcome::ActivatedOther)
        return 0;

    // The services first, then the shell and its windows, which get them by reference.
    AppServices services;
    AppDelegate delegate(services);
    QObject::connect(&instance, &DBusSingleInstance::activateRequested, &delegate,
                     [&delegate] { delegate.showPanel(); });
    QTimer::singleShot(0, &delegate, &AppDelegate::applicationDidFinishLaunching);
    return QApplication::exec();
}
