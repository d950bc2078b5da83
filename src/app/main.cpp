#include "app/AppDelegate.h"
#include "platform/dbus/DBusSingleInstance.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char* argv[]) {
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
