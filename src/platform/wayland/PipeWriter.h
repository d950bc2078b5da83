#pragma once

#include <QByteArray>

#include <chrono>

// Writes Quillet's data into a pipe another application reads, without ever
// blocking the thread that serves the clipboard: it writes what the pipe takes
// whenever it is ready, and gives up on a reader that stops reading.
class PipeWriter {
public:
    // Takes fd (the write end), makes it non-blocking and closes it when done.
    PipeWriter(int fd, QByteArray bytes, std::chrono::milliseconds inactivity,
               std::chrono::milliseconds cap);
    ~PipeWriter();
    PipeWriter(const PipeWriter&) = delete;
    PipeWriter& operator=(const PipeWriter&) = delete;

    int fd() const { return m_fd; }
    // Writes what the pipe takes now; false once everything is written, the
    // reader has gone or its time is up (the pipe is closed then).
    bool proceed();

private:
    using Clock = std::chrono::steady_clock;
    void finish();

    int m_fd;
    QByteArray m_bytes;
    qsizetype m_written = 0;
    std::chrono::milliseconds m_inactivity;
    Clock::time_point m_end;
    Clock::time_point m_lastProgress;
};
