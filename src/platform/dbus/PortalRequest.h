#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QVariantMap>

// One call of a desktop-portal method that answers later, through the Response
// signal of a request object. The request's path follows from our unique bus
// name and the handle token we pass, so the signal is subscribed to before the
// call goes out and an early answer cannot be missed; a portal that names
// another path is followed there.
class PortalRequest : public QObject {
    Q_OBJECT
public:
    // The portal's answer codes; `failed` also stands for a call the portal refused.
    enum Response : uint { success = 0, cancelled = 1, failed = 2 };

    // Sends `call`, whose last argument must be its options map (the handle
    // token is added to it). finished() comes exactly once, after which the
    // request deletes itself.
    static PortalRequest* send(const QDBusConnection& bus, QDBusMessage call, QObject* parent);

Q_SIGNALS:
    void finished(uint response, const QVariantMap& results);

private Q_SLOTS:
    void onResponse(uint response, const QVariantMap& results);

private:
    PortalRequest(const QDBusConnection& bus, QObject* parent);
    bool listen(const QString& path);
    void stopListening();
    void finish(uint response, const QVariantMap& results);

    QDBusConnection m_bus;
    QString m_path;
    bool m_done = false;
};
