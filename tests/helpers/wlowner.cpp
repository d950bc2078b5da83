// Another application owning the Wayland clipboard with several types at once,
// through the compositor's data-control protocol (as clipowner does on X11):
//   wlowner [--hang] TYPE=VALUE...   (VALUE: the text, or @PATH for a file)
// Prints "owned" once the compositor holds its offer. Prints "cancelled" and
// exits when another client takes the clipboard. On "quit" (or the end of
// standard input) it exits at once without clearing anything, as a quitting
// application does: the offer goes away with the connection.
//   --hang           take every request's pipe and never write to it, like a frozen application
//   --pace MS        serve every type in pieces over about MS ms, printing "served TYPE"
//   --then TEXT      once image/png has been served, copy TEXT instead
//   --sequence N MS PREFIX
//                    copy the texts PREFIX0 … PREFIX<N-1>, MS ms apart, then print "done"
#include <wayland-client.h>
#include <wayland/wlr-data-control-unstable-v1-client.h>

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {
using Types = std::vector<std::pair<std::string, std::string>>; // in the order offered

struct Owner {
    Types types;
    bool hang = false;
    int paceMs = -1;
    std::string then;
    int sequence = 0;
    int sequenceMs = 0;
    std::string sequencePrefix;
    // Every source still alive, with what it offers; the newest is the clipboard.
    std::map<zwlr_data_control_source_v1*, Types> sources;
    zwlr_data_control_source_v1* current = nullptr;
    zwlr_data_control_device_v1* device = nullptr;
    bool copyThen = false;
    std::vector<int> held; // the pipes a hanging owner keeps until it exits
    wl_seat* seat = nullptr;
    zwlr_data_control_manager_v1* manager = nullptr;
    bool cancelled = false;
    bool finished = false;
};

void writeAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return; // the reader went away: its loss, not a reason to stop owning
        done += size_t(n);
    }
}

void global(void* data, wl_registry* registry, uint32_t name, const char* interface,
            uint32_t version) {
    auto* owner = static_cast<Owner*>(data);
    if (!owner->seat && std::strcmp(interface, wl_seat_interface.name) == 0) {
        owner->seat =
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (std::strcmp(interface, zwlr_data_control_manager_v1_interface.name) == 0) {
        owner->manager = static_cast<zwlr_data_control_manager_v1*>(wl_registry_bind(
            registry, name, &zwlr_data_control_manager_v1_interface, std::min(version, 2u)));
    }
}
void globalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kRegistry{global, globalRemove};

// Writes in pieces spread over about totalMs.
void writePaced(int fd, const std::string& bytes, int totalMs) {
    constexpr size_t kChunk = 64 * 1024;
    const size_t chunks = bytes.size() / kChunk + 1;
    const auto pause = std::chrono::milliseconds(totalMs / int(chunks));
    for (size_t at = 0; at < bytes.size(); at += kChunk) {
        std::this_thread::sleep_for(pause);
        writeAll(fd, bytes.substr(at, kChunk));
    }
}

void send(void* data, zwlr_data_control_source_v1* source, const char* mime, int32_t fd) {
    auto* owner = static_cast<Owner*>(data);
    if (owner->hang) {
        owner->held.push_back(fd);
        return;
    }
    const Types& types = owner->sources[source];
    const auto it = std::find_if(types.begin(), types.end(),
                                 [mime](const auto& type) { return type.first == mime; });
    if (it != types.end()) {
        if (owner->paceMs >= 0) {
            writePaced(fd, it->second, owner->paceMs);
            std::printf("served %s\n", mime);
            std::fflush(stdout);
        } else {
            writeAll(fd, it->second);
        }
    }
    close(fd);
    if (!owner->then.empty() && std::strcmp(mime, "image/png") == 0)
        owner->copyThen = true;
}
void cancelled(void* data, zwlr_data_control_source_v1* source) {
    auto* owner = static_cast<Owner*>(data);
    owner->sources.erase(source);
    zwlr_data_control_source_v1_destroy(source);
    // Only another client taking the clipboard ends the owner, not its own next copy.
    if (source == owner->current)
        owner->cancelled = true;
}
const zwlr_data_control_source_v1_listener kSource{send, cancelled};

// Makes `types` the clipboard through a new source.
void copy(Owner& owner, const Types& types) {
    auto* source = zwlr_data_control_manager_v1_create_data_source(owner.manager);
    zwlr_data_control_source_v1_add_listener(source, &kSource, &owner);
    for (const auto& type : types)
        zwlr_data_control_source_v1_offer(source, type.first.c_str());
    owner.sources[source] = types;
    owner.current = source;
    zwlr_data_control_device_v1_set_selection(owner.device, source);
}

Types text(const std::string& value) {
    return {{"text/plain;charset=utf-8", value}, {"text/plain", value}, {"UTF8_STRING", value}};
}

// The compositor tells every data-control client of each new clipboard,
// this one's own included; it only needs to let go of those offers.
void dataOffer(void*, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1*) {}
void selection(void*, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer) {
    if (offer)
        zwlr_data_control_offer_v1_destroy(offer);
}
void finished(void* data, zwlr_data_control_device_v1*) {
    static_cast<Owner*>(data)->finished = true;
}
const zwlr_data_control_device_v1_listener kDevice{dataOffer, selection, finished, selection};

// Where TYPE=VALUE splits: a type's parameters have '=' of their own
// (text/plain;charset=utf-8=VALUE).
size_t separator(const std::string& arg) {
    size_t eq = arg.find('=');
    while (eq != std::string::npos) {
        const size_t semi = arg.rfind(';', eq);
        if (semi == std::string::npos || arg.find('=', semi) != eq)
            break; // not the '=' of a parameter
        eq = arg.find('=', eq + 1);
    }
    return eq;
}

// TYPE=VALUE arguments into types; false on a malformed one or an unreadable file.
bool parse(const std::vector<std::string>& args, Owner& owner) {
    for (const std::string& arg : args) {
        const size_t eq = separator(arg);
        if (eq == 0 || eq == std::string::npos)
            return false;
        std::string value = arg.substr(eq + 1);
        if (value.starts_with('@')) {
            std::ifstream file(value.substr(1), std::ios::binary);
            if (!file)
                return false;
            value.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        }
        owner.types.emplace_back(arg.substr(0, eq), std::move(value));
    }
    return !owner.types.empty();
}

// Serves requests until the clipboard is taken or "quit" arrives; the exit status.
int serve(wl_display* display, Owner& owner) {
    std::string input;
    using Clock = std::chrono::steady_clock;
    int copied = owner.sequence > 0 ? 1 : 0; // the first went with "owned"
    Clock::time_point nextCopy = Clock::now() + std::chrono::milliseconds(owner.sequenceMs);
    for (;;) {
        if (owner.copyThen) {
            owner.copyThen = false;
            copy(owner, text(owner.then));
        }
        if (copied < owner.sequence && Clock::now() >= nextCopy) {
            copy(owner, text(owner.sequencePrefix + std::to_string(copied)));
            nextCopy += std::chrono::milliseconds(owner.sequenceMs);
            if (++copied == owner.sequence) {
                std::puts("done");
                std::fflush(stdout);
            }
        }
        int timeout = -1;
        if (copied < owner.sequence)
            timeout = int(std::max<Clock::rep>(
                0, std::chrono::duration_cast<std::chrono::milliseconds>(nextCopy - Clock::now())
                       .count()));
        while (wl_display_prepare_read(display) != 0) {
            if (wl_display_dispatch_pending(display) < 0)
                return 5;
        }
        wl_display_flush(display);
        pollfd fds[2] = {{wl_display_get_fd(display), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
        if (poll(fds, 2, timeout) < 0) {
            wl_display_cancel_read(display);
            if (errno == EINTR)
                continue;
            return 5;
        }
        if (fds[0].revents != 0) {
            if (wl_display_read_events(display) < 0)
                return 5; // the compositor is gone
        } else {
            wl_display_cancel_read(display);
        }
        if (wl_display_dispatch_pending(display) < 0)
            return 5;
        if (owner.cancelled) {
            std::puts("cancelled");
            std::fflush(stdout);
            return 0;
        }
        if (owner.finished)
            return 4;
        if (fds[1].revents != 0) {
            char buffer[256];
            const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
            if (n <= 0)
                return 0;
            input.append(buffer, size_t(n));
            for (size_t end; (end = input.find('\n')) != std::string::npos;) {
                if (input.compare(0, end, "quit") == 0)
                    return 0;
                input.erase(0, end + 1);
            }
        }
    }
}
} // namespace

int main(int argc, char** argv) {
    // A reader that closes its end early must not take the owner down with it.
    std::signal(SIGPIPE, SIG_IGN);
    Owner owner;
    std::vector<std::string> args(argv + 1, argv + argc);
    auto take = [&args] {
        std::string value = args.empty() ? std::string() : args.front();
        if (!args.empty())
            args.erase(args.begin());
        return value;
    };
    while (!args.empty() && args.front().starts_with("--")) {
        const std::string option = take();
        if (option == "--hang") {
            owner.hang = true;
        } else if (option == "--pace" && !args.empty()) {
            owner.paceMs = std::atoi(take().c_str());
        } else if (option == "--then" && !args.empty()) {
            owner.then = take();
        } else if (option == "--sequence" && args.size() >= 3) {
            owner.sequence = std::atoi(take().c_str());
            owner.sequenceMs = std::atoi(take().c_str());
            owner.sequencePrefix = take();
        } else {
            std::fprintf(stderr, "wlowner: unknown option %s\n", option.c_str());
            return 2;
        }
    }
    if (owner.sequence > 0 && args.empty())
        owner.types = text(owner.sequencePrefix + "0"); // the first of the sequence
    else if (!parse(args, owner)) {
        std::fputs("usage: wlowner [--hang] [--pace MS] [--then TEXT] [--sequence N MS PREFIX] "
                   "TYPE=VALUE|TYPE=@PATH...\n",
                   stderr);
        return 2;
    }

    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fputs("wlowner: no Wayland display\n", stderr);
        return 3;
    }
    wl_registry_add_listener(wl_display_get_registry(display), &kRegistry, &owner);
    wl_display_roundtrip(display);
    if (!owner.seat || !owner.manager) {
        std::fputs("wlowner: the compositor has no seat or no data-control manager\n", stderr);
        return 3;
    }
    owner.device = zwlr_data_control_manager_v1_get_data_device(owner.manager, owner.seat);
    zwlr_data_control_device_v1_add_listener(owner.device, &kDevice, &owner);
    copy(owner, owner.types);
    // After a round trip the compositor has the offer: the test's first read finds it.
    if (wl_display_roundtrip(display) < 0 || owner.cancelled || owner.finished)
        return 4;
    std::puts("owned");
    std::fflush(stdout);
    return serve(display, owner);
}
