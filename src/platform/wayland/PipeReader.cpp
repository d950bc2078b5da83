#include "platform/wayland/PipeReader.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

std::optional<QByteArray> PipeReader::readAll(int fd, qint64 maxBytes, Failure* failure) const {
    using Clock = std::chrono::steady_clock;
    auto fail = [&](Failure why) -> std::optional<QByteArray> {
        if (failure)
            *failure = why;
        ::close(fd);
        return std::nullopt;
    };
    if (failure)
        *failure = Failure::none;
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    const Clock::time_point end = Clock::now() + m_cap;
    Clock::time_point lastProgress = Clock::now();
    QByteArray bytes;
    char chunk[64 * 1024];
    for (;;) {
        const Clock::time_point now = Clock::now();
        const auto left = std::min(end - now, lastProgress + m_inactivity - now);
        if (left <= Clock::duration::zero())
            return fail(Failure::timedOut);
        pollfd p{fd, POLLIN, 0};
        const int ready =
            ::poll(&p, 1, int(std::chrono::ceil<std::chrono::milliseconds>(left).count()));
        if (ready < 0 && errno != EINTR)
            return fail(Failure::error);
        if (ready <= 0)
            continue;
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n == 0)
            break; // the writer closed its end: complete
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR)
                continue;
            return fail(Failure::error);
        }
        if (bytes.size() + n > maxBytes)
            return fail(Failure::tooLarge);
        bytes.append(chunk, n);
        lastProgress = Clock::now();
    }
    ::close(fd);
    return bytes;
}
