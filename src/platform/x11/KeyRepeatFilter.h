#pragma once

#include "platform/HotKeyBackend.h"

#include <QSet>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <optional>

// X11 reports a key held down as a release followed at once by a press with
// the same time stamp, about 25 times a second. Handlers act on each edge (the
// quick picker toggles on the release), so they must see one press and one
// release per physical press: the pairs are dropped here. A release is held
// back until the events that arrived with it have been read; when a press of
// the same key and time follows, both go.
class KeyRepeatFilter {
public:
    // The sink sees the events that remain and says whether it consumed them.
    explicit KeyRepeatFilter(std::function<bool(const HotKeyEvent&)> sink);

    // Both return whether the event is consumed (it then reaches no window).
    bool press(std::uint8_t keycode, std::uint32_t time, const HotKeyEvent& event);
    bool release(std::uint8_t keycode, std::uint32_t time, const HotKeyEvent& event);

private:
    struct Pending {
        std::uint8_t keycode;
        std::uint32_t time;
        HotKeyEvent event;
    };

    void flush();

    std::function<bool(const HotKeyEvent&)> m_sink;
    // Keys whose press the sink took: only their releases are worth holding back.
    QSet<std::uint8_t> m_taken;
    std::optional<Pending> m_pending;
    QTimer m_flush;
};
