#pragma once

#include <QString>
#include <QVariantList>

// Gives one command to the running Quillet (DBusCommandService) over the
// session bus and waits for its answer. It never starts a Quillet: when
// nobody owns the bus name, the command fails.
class DBusCommandClient {
public:
    enum class Outcome {
        done,       // carried out
        notRunning, // nobody owns com.ovo.quillet
        noBus,      // no session bus to reach it through
        refused,    // the running Quillet answered with an error
        noAnswer,   // no answer within the timeout
    };
    struct Result {
        Outcome outcome = Outcome::done;
        QString message; // for anything but done: one line to tell the user
    };

    explicit DBusCommandClient(int timeoutMs = 5000)
        : m_timeoutMs(timeoutMs) {}

    Result togglePicker() const;
    // tab: "clipboard", "screenshots", or empty for the tab shown last.
    Result showPanel(const QString& tab) const;
    Result hide() const;

private:
    Result call(const QString& method, const QVariantList& arguments) const;

    int m_timeoutMs;
};
