#include "app/AppDelegate.h"
#include "app/DebugChannel.h"
#include "platform/dbus/DBusSingleInstance.h"

#include <QApplication>
#include <QCoreApplication>
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
        return DebugChannel::send(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillet"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLET_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);

    // A second start brings the running Quillet's panel forward instead.
    DBusSingleInstance instance(DBusSingleInstance::defaultServiceName());
    if (instance.claim() == DBusSingleInstance::Outcome::ActivatedOther)
        return 0;

    AppDelegate delegate;
    QObject::connect(&instance, &DBusSingleInstance::activateRequested, &delegate,
                     [&delegate] { delegate.showPanel(); });
    QTimer::singleShot(0, &delegate, &AppDelegate::applicationDidFinishLaunching);
    return QApplication::exec();
}
