#pragma once

#include "platform/Capability.h"

#include <QCoreApplication>
#include <QList>
#include <QStringList>

#include <functional>

class DBusCommandClient;

// What `quillet` does when given options: each is a command for the running
// Quillet (or a request for help), handed over the session bus; only a bare
// `quillet` starts the application, and main() does that itself.
class CommandLine {
    Q_DECLARE_TR_FUNCTIONS(CommandLine)

public:
    // What `--status` reports: the platform's name and what works in this session.
    struct Status {
        QString platform;
        QList<Capability> capabilities;
    };

    CommandLine(const DBusCommandClient& client, std::function<Status()> status)
        : m_client(client)
        , m_status(std::move(status)) {}

    // Runs what the arguments (the program's name first) ask for and returns
    // the exit status: 0 done, 1 Quillet is not running or did not take the
    // command, 2 a usage error. Help and version go to standard output, every
    // failure as one line to standard error.
    int run(const QStringList& arguments) const;

    // Whether the arguments (the program's name first) ask for a command
    // rather than the application: anything but Qt's own start-up options,
    // which a session manager's restart (-session ID) or a user's -platform
    // pass to the application itself.
    static bool isCommand(const QStringList& arguments);
    // Whether the command needs the window system (`--status` asks it).
    static bool needsWindowSystem(const QStringList& arguments);

private:
    const DBusCommandClient& m_client;
    std::function<Status()> m_status;
};
