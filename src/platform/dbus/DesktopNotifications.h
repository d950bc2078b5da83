#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

// Desktop notifications through org.freedesktop.Notifications on the given
// bus. The call does not wait for the notification daemon; when none is
// there or it refuses, undelivered() tells the caller to say it another way.
class DesktopNotifications : public QObject {
    Q_OBJECT
public:
    explicit DesktopNotifications(const QDBusConnection& bus, QObject* parent = nullptr);

    void notify(const QString& summary, const QString& body);

Q_SIGNALS:
    void delivered(uint id);
    void undelivered(const QString& summary, const QString& body);

private:
    QDBusConnection m_bus;
};
