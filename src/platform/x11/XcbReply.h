#pragma once

#include <cstdlib>
#include <memory>

// xcb hands out replies, errors and events allocated with malloc(); the
// caller frees them. XcbReply<xcb_get_property_reply_t> does so on scope exit.
struct XcbFree {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using XcbReply = std::unique_ptr<T, XcbFree>;
