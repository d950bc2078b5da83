#pragma once

#include <QObject>
#include <QString>

class DebugTarget;
struct DebugState;
class QDBusMessage;
class QWidget;

// Lets another process of the user drive and inspect the running application:
// a session-bus signal (interface com.ovo.quillet, member debug) carries a
// command; "state" writes a JSON summary, "snapshot…" commands write PNG
// pictures of the windows. Unknown commands are ignored without a trace.
class DebugChannel : public QObject {
    Q_OBJECT
public:
    explicit DebugChannel(DebugTarget& target, QObject* parent = nullptr);

    // Starts listening on the session bus; false when there is no bus.
    bool install();

    // Runs one command as if it had arrived over the bus.
    void dispatch(const QString& command);

    // Where "state" writes; tests point it elsewhere.
    void setStatePath(const QString& path) { m_statePath = path; }
    QString statePath() const { return m_statePath; }

    enum class SendResult {
        delivered,  // on the bus, and a Quillet owns com.ovo.quillet to receive it
        noReceiver, // on the bus, but no Quillet runs to receive it
        noBus,      // no session bus
    };
    // Sends a command to the running application over the session bus and
    // returns once it has left this process.
    static SendResult send(const QString& command);

    // The state as written: pretty-printed JSON with sorted keys.
    static QByteArray stateJson(const DebugState& state);

    // Writes bytes to a path that is a regular file of this user or does not
    // exist yet, atomically and with mode 0600; never through a link and never
    // into a file of another user. With a signature, an existing file is
    // replaced only when it starts with it. False when nothing was written.
    static bool writePrivateFileAtomically(const QString& path, const QByteArray& bytes,
                                           const QByteArray& replaceOnlyWhenStartingWith = {});
    // Writes a PNG picture of the window the same way; an existing file is
    // replaced only when it is a PNG picture already.
    static bool writePicture(QWidget* window, const QString& path);

private Q_SLOTS:
    void onSignal(const QDBusMessage& message);

private:
    void writeState();
    void pictureLater(int delayMs, QWidget* (DebugTarget::*window)(), const QString& path);

    DebugTarget& m_target;
    QString m_statePath;
};
