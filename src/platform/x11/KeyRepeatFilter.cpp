#include "platform/x11/KeyRepeatFilter.h"

KeyRepeatFilter::KeyRepeatFilter(std::function<bool(const HotKeyEvent&)> sink)
    : m_sink(std::move(sink)) {
    // Zero time: the press of a repeat pair is read in the same batch as its
    // release, before the event loop turns to timers.
    m_flush.setSingleShot(true);
    m_flush.setInterval(0);
    QObject::connect(&m_flush, &QTimer::timeout, [this] { flush(); });
}

bool KeyRepeatFilter::press(std::uint8_t keycode, std::uint32_t time, const HotKeyEvent& event) {
    if (m_pending && m_pending->keycode == keycode && m_pending->time == time) {
        m_pending.reset();
        m_flush.stop();
        return true;
    }
    flush();
    const bool taken = m_sink(event);
    if (taken)
        m_taken.insert(keycode);
    else
        m_taken.remove(keycode);
    return taken;
}

bool KeyRepeatFilter::release(std::uint8_t keycode, std::uint32_t time, const HotKeyEvent& event) {
    flush();
    if (!m_taken.contains(keycode))
        return m_sink(event);
    m_pending = Pending{keycode, time, event};
    m_flush.start();
    return true;
}

void KeyRepeatFilter::flush() {
    if (!m_pending)
        return;
    const Pending pending = *m_pending;
    m_pending.reset();
    m_flush.stop();
    m_taken.remove(pending.keycode);
    m_sink(pending.event);
}
