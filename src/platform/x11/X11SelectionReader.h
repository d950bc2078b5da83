#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

class X11Connection;
struct xcb_connection_t;

// Reads the CLIPBOARD selection of another client on a connection of its own:
// a transfer waits for its events on whichever thread reads, and two readers
// of one connection's events would take each other's.
// A transfer is bounded by inactivity (an owner that stops sending is given
// up), by size, and by an overall cap, but not by a short total time: a large
// image from an application that encodes on request, or a slow remote
// connection, takes seconds. Use from one thread at a time, never the thread
// that serves Quillet's own offer (it would not answer while this waits).
class X11SelectionReader {
public:
    using Clock = std::chrono::steady_clock;

    // A transfer is given up after `inactivity` without progress, and at `total`.
    X11SelectionReader(std::chrono::milliseconds inactivity, std::chrono::milliseconds total);
    ~X11SelectionReader();
    X11SelectionReader(const X11SelectionReader&) = delete;
    X11SelectionReader& operator=(const X11SelectionReader&) = delete;

    bool isValid() const;

    enum class Failure { none, refused, timedOut, tooLarge };
    // The target names the current owner offers; nothing when there is no
    // owner or it did not answer in time.
    std::optional<QStringList> targets(Failure* failure = nullptr);

    // The bytes of one target; nothing when refused, timed out or larger than
    // maxBytes (the transfer stops as soon as that is known).
    std::optional<QByteArray> read(const QString& target, qint64 maxBytes,
                                   Failure* failure = nullptr);

private:
    std::optional<QByteArray> transfer(uint32_t target, qint64 maxBytes, uint32_t* type,
                                       Failure* failure);
    std::optional<QByteArray> transferOnce(uint32_t target, qint64 maxBytes, uint32_t* type,
                                           Failure* failure);
    void discardPendingEvents();

    std::chrono::milliseconds m_inactivity;
    std::chrono::milliseconds m_total;
    std::unique_ptr<X11Connection> m_display;
    xcb_connection_t* m_conn = nullptr;
    uint32_t m_window = 0;
    uint32_t m_clipboard = 0;
    uint32_t m_property = 0;
    int m_retired = 0;
    uint32_t m_incr = 0;
    uint32_t m_targetsAtom = 0;
};
