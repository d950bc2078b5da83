#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <optional>

struct xcb_connection_t;

// Reads the CLIPBOARD selection of another client on a connection of its own.
// Every transfer is bounded in time and size, so an owner that never answers
// or trickles its data cannot hold Quillet up. Use from one thread only, and
// never while Quillet itself owns the selection (its owner code runs on the
// main thread and would not answer while this waits).
class X11SelectionReader {
public:
    using Deadline = std::chrono::steady_clock::time_point;

    X11SelectionReader();
    ~X11SelectionReader();
    X11SelectionReader(const X11SelectionReader&) = delete;
    X11SelectionReader& operator=(const X11SelectionReader&) = delete;

    bool isValid() const { return m_conn != nullptr; }

    // The target names the current owner offers; nothing when there is no
    // owner or it did not answer in time.
    std::optional<QStringList> targets(Deadline deadline);

    enum class Failure { none, refused, timedOut, tooLarge };
    // The bytes of one target; nothing when refused, timed out or larger than maxBytes.
    std::optional<QByteArray> read(const QString& target, Deadline deadline, qint64 maxBytes,
                                   Failure* failure = nullptr);

private:
    uint32_t atom(const QString& name);
    std::optional<QByteArray> transfer(uint32_t target, Deadline deadline, qint64 maxBytes,
                                       uint32_t* type, Failure* failure);
    void discardPendingEvents();

    xcb_connection_t* m_conn = nullptr;
    uint32_t m_window = 0;
    uint32_t m_clipboard = 0;
    uint32_t m_property = 0;
    uint32_t m_incr = 0;
    uint32_t m_targetsAtom = 0;
    QHash<QString, uint32_t> m_atoms;
    QHash<uint32_t, QString> m_names;
};
