#pragma once

#include <QByteArray>

#include <chrono>
#include <optional>

// Reads what another application writes into a pipe until it closes its end,
// within limits: an owner that stops writing, trickles forever or sends more
// than wanted is given up on instead of holding the reader.
class PipeReader {
public:
    enum class Failure { none, timedOut, tooLarge, error };

    PipeReader(std::chrono::milliseconds inactivity, std::chrono::milliseconds cap)
        : m_inactivity(inactivity)
        , m_cap(cap) {}

    // Takes fd (the read end) and closes it. Nothing on failure, which
    // `failure` then names.
    std::optional<QByteArray> readAll(int fd, qint64 maxBytes, Failure* failure = nullptr) const;

private:
    std::chrono::milliseconds m_inactivity;
    std::chrono::milliseconds m_cap;
};
