#pragma once

#include <QObject>
#include <QString>

// One Quillet per session: the first process owns a well-known name on the
// session bus; a later one finds it taken, asks the owner to activate (show
// its panel) and then leaves. Without a session bus every process runs alone.
// The guard is the object the running Quillet offers at objectPath(): further
// interfaces (QDBusAbstractAdaptor children of it) go on the bus with it.
class DBusSingleInstance : public QObject {
    Q_OBJECT

public:
    enum class Outcome {
        Primary,        // this process owns the name
        ActivatedOther, // another process owns it and was asked to activate
        NoBus,          // no session bus: run without the guard
    };

    explicit DBusSingleInstance(QString serviceName, QObject* parent = nullptr);
    ~DBusSingleInstance() override;

    static QString defaultServiceName() { return QStringLiteral("com.ovo.quillet"); }
    static QString objectPath() { return QStringLiteral("/com/ovo/quillet"); }

    Outcome claim();

Q_SIGNALS:
    // Another process (or any bus client) asked Quillet to come forward.
    void activateRequested();

private:
    QString m_serviceName;
    bool m_registered = false;
};
