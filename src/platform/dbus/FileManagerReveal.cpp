#include "platform/dbus/FileManagerReveal.h"

#include "platform/PlatformLog.h"

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
    if (!bus.send(call)) {
        qCWarning(platformLog) << "file manager not asked to show" << file
                               << bus.lastError().message();
        return false;
    }
    return true;
}

void FileManagerReveal::reveal(const QUrl& file) {
    if (showItems(file, QDBusConnection::sessionBus()))
        return;
    const QUrl folder = QUrl::fromLocalFile(QFileInfo(file.toLocalFile()).absolutePath());
    if (!QDesktopServices::openUrl(folder))
        qCWarning(platformLog) << "no application opened the folder" << folder;
}
