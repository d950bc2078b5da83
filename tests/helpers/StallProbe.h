#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

// The main thread's longest stall while the probe lives (or since reset()):
// how much later than due a 10 ms timer fired.
class StallProbe {
public:
    StallProbe() {
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { worstMs(); });
        reset();
        m_timer.start(kTickMs);
    }
    void reset() {
        m_clock.start();
        m_worstMs = 0;
    }
    qint64 worstMs() const {
        m_worstMs = std::max(m_worstMs, m_clock.restart() - kTickMs);
        return m_worstMs;
    }

private:
    static constexpr int kTickMs = 10;
    QTimer m_timer;
    mutable QElapsedTimer m_clock;
    mutable qint64 m_worstMs = 0;
};
