#include "platform/wayland/PipeWriter.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

PipeWriter::PipeWriter(int fd, QByteArray bytes, std::chrono::milliseconds inactivity,
                       std::chrono::milliseconds cap)
    : m_fd(fd)
    , m_bytes(std::move(bytes))
    , m_inactivity(inactivity)
    , m_end(Clock::now() + cap)
    , m_lastProgress(Clock::now()) {
    ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) | O_NONBLOCK);
}

PipeWriter::~PipeWriter() {
    finish();
}

void PipeWriter::finish() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool PipeWriter::proceed() {
    if (m_fd < 0)
        return false;
    while (m_written < m_bytes.size()) {
        // A reader that left makes this fail with EPIPE: the thread that
        // serves the clipboard blocks SIGPIPE, which would end the process.
        const ssize_t n =
            ::write(m_fd, m_bytes.constData() + m_written, size_t(m_bytes.size() - m_written));
        if (n > 0) {
            m_written += n;
            m_lastProgress = Clock::now();
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN) {
            const Clock::time_point now = Clock::now();
            if (now >= m_end || now - m_lastProgress >= m_inactivity)
                break; // a reader that stopped reading is left behind
            return true;
        }
        break; // the reader went away
    }
    finish();
    return false;
}
