#include "platform/dbus/FileManagerReveal.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>

namespace {
const QString kService = QStringLiteral("org.freedesktop.FileManager1");
} // namespace

bool FileManagerReveal::showItems(const QUrl& file, const QDBusConnection& bus) {
    if (!bus.isConnected() || !file.isLocalFile())
        return false;
    QDBusConnectionInterface* names = bus.interface();
    if (!names)
        return false;
    const bool offered = names->isServiceRegistered(kService).value() ||
                         names->activatableServiceNames().value().contains(kService);
    if (!offered)
        return false;
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/FileManager1"),
                                       kService, QStringLiteral("ShowItems"));
    call << QStringList{QString::fromUtf8(file.toEncoded())} << QString();
    // Fire and forget: a file manager that starts slowly must not hold up the panel.
    return bus.send(call);
}

void FileManagerReveal::reveal(const QUrl& file) {
    if (showItems(file, QDBusConnection::sessionBus()))
        return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(file.toLocalFile()).absolutePath()));
}
