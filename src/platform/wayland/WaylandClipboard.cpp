#include "platform/wayland/WaylandClipboard.h"

#include "platform/Pasteboard.h"
#include "platform/PlatformLog.h"
#include "platform/SelectionPasteboard.h"
#include "platform/wayland/PipeReader.h"
#include "platform/wayland/PipeWriter.h"
#include "platform/wayland/WaylandConnection.h"

#include <wayland-client.h>
#include <wayland/ext-data-control-v1-client.h>
#include <wayland/wlr-data-control-unstable-v1-client.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

// The standard protocol and its wlroots forerunner are one interface under
// two names: the same requests and events in the same order with the same
// arguments. Only the objects a request creates need the right interface;
// everything else goes through the wlroots names for both.
struct WaylandClipboard::Protocol {
    const char* name;
    const wl_interface* manager;
    uint32_t minVersion;
    uint32_t maxVersion;
    wl_proxy* (*createSource)(wl_proxy* manager);
    wl_proxy* (*getDevice)(wl_proxy* manager, wl_seat* seat);
};

namespace {
using Device = zwlr_data_control_device_v1;
using Offer = zwlr_data_control_offer_v1;
using Source = zwlr_data_control_source_v1;

template <class T> wl_proxy* proxy(T* object) {
    return reinterpret_cast<wl_proxy*>(object);
}
template <class T> T* as(wl_proxy* object) {
    return reinterpret_cast<T*>(object);
}

const WaylandClipboard::Protocol kExt = {
    "ext-data-control-v1",
    &ext_data_control_manager_v1_interface,
    1,
    1,
    [](wl_proxy* m) {
        return proxy(
            ext_data_control_manager_v1_create_data_source(as<ext_data_control_manager_v1>(m)));
    },
    [](wl_proxy* m, wl_seat* seat) {
        return proxy(
            ext_data_control_manager_v1_get_data_device(as<ext_data_control_manager_v1>(m), seat));
    },
};

// Version 2 brought the primary selection, whose events version 1 would
// mix into the clipboard's.
const WaylandClipboard::Protocol kWlr = {
    "wlr-data-control-unstable-v1",
    &zwlr_data_control_manager_v1_interface,
    2,
    2,
    [](wl_proxy* m) {
        return proxy(
            zwlr_data_control_manager_v1_create_data_source(as<zwlr_data_control_manager_v1>(m)));
    },
    [](wl_proxy* m, wl_seat* seat) {
        return proxy(zwlr_data_control_manager_v1_get_data_device(
            as<zwlr_data_control_manager_v1>(m), seat));
    },
};

QByteArray bytesFor(const WaylandClipboard::Item& item, const QString& type) {
    if (auto it = item.constFind(type); it != item.cend())
        return *it;
    // The text aliases other toolkits ask for carry the UTF-8 text.
    if (SelectionPasteboard::withTextAliases({PasteboardType::string}).contains(type)) {
        for (const QString& text : {PasteboardType::string, PasteboardType::plainText}) {
            if (auto it = item.constFind(text); it != item.cend())
                return *it;
        }
    }
    return {};
}
} // namespace

struct WaylandClipboard::Listeners {
    static void dataOffer(void* self, Device*, Offer* offer) {
        static_cast<WaylandClipboard*>(self)->onDataOffer(proxy(offer));
    }
    static void selection(void* self, Device*, Offer* offer) {
        static_cast<WaylandClipboard*>(self)->onSelection(proxy(offer));
    }
    static void finished(void* self, Device*) {
        static_cast<WaylandClipboard*>(self)->onFinished();
    }
    static void primarySelection(void* self, Device*, Offer* offer) {
        static_cast<WaylandClipboard*>(self)->onPrimarySelection(proxy(offer));
    }
    static void offerType(void* self, Offer* offer, const char* type) {
        static_cast<WaylandClipboard*>(self)->onOfferType(proxy(offer), type);
    }
    static void send(void* self, Source* source, const char* type, int32_t fd) {
        static_cast<WaylandClipboard*>(self)->onSend(proxy(source), type, fd);
    }
    static void cancelled(void* self, Source* source) {
        static_cast<WaylandClipboard*>(self)->onCancelled(proxy(source));
    }
};

namespace {
const zwlr_data_control_device_v1_listener kDeviceListener = {
    &WaylandClipboard::Listeners::dataOffer,
    &WaylandClipboard::Listeners::selection,
    &WaylandClipboard::Listeners::finished,
    &WaylandClipboard::Listeners::primarySelection,
};
const zwlr_data_control_offer_v1_listener kOfferListener = {
    &WaylandClipboard::Listeners::offerType,
};
const zwlr_data_control_source_v1_listener kSourceListener = {
    &WaylandClipboard::Listeners::send,
    &WaylandClipboard::Listeners::cancelled,
};
} // namespace

std::unique_ptr<WaylandClipboard> WaylandClipboard::create(WaylandConnection& connection) {
    const Protocol* protocol = nullptr;
    void* manager = nullptr;
    for (const Protocol* p : {&kExt, &kWlr}) {
        manager = connection.bind(p->manager, p->minVersion, p->maxVersion);
        if (manager) {
            protocol = p;
            break;
        }
    }
    if (!manager)
        return nullptr;
    auto* seat = static_cast<wl_seat*>(connection.bind(&wl_seat_interface, 1, 1));
    if (!seat) {
        wl_proxy_destroy(static_cast<wl_proxy*>(manager));
        return nullptr;
    }
    std::unique_ptr<WaylandClipboard> clipboard(
        new WaylandClipboard(connection, *protocol, seat, static_cast<wl_proxy*>(manager)));
    // The offer present now arrives with the device; it is the starting
    // point, not a copy made while Quillet runs.
    connection.roundtrip();
    clipboard->m_started = true;
    return clipboard;
}

WaylandClipboard::WaylandClipboard(WaylandConnection& connection, const Protocol& protocol,
                                   wl_seat* seat, wl_proxy* manager)
    : m_connection(connection)
    , m_protocol(protocol)
    , m_protocolName(QString::fromLatin1(protocol.name))
    , m_seat(seat)
    , m_manager(manager) {
    m_device = m_protocol.getDevice(m_manager, m_seat);
    zwlr_data_control_device_v1_add_listener(as<Device>(m_device), &kDeviceListener, this);
}

WaylandClipboard::~WaylandClipboard() {
    m_connection.call([this] {
        for (auto& [source, item] : m_sources)
            zwlr_data_control_source_v1_destroy(as<Source>(source));
        m_sources.clear();
        for (auto& [offer, types] : m_announced)
            zwlr_data_control_offer_v1_destroy(as<Offer>(offer));
        m_announced.clear();
        if (m_current)
            zwlr_data_control_offer_v1_destroy(as<Offer>(m_current));
        if (m_device)
            zwlr_data_control_device_v1_destroy(as<Device>(m_device));
        // Both managers' destroy is their third request.
        zwlr_data_control_manager_v1_destroy(as<zwlr_data_control_manager_v1>(m_manager));
        wl_proxy_destroy(reinterpret_cast<wl_proxy*>(m_seat));
        wl_display_flush(m_connection.display());
    });
}

QStringList WaylandClipboard::offeredTypes() const {
    const QMutexLocker lock(&m_mutex);
    return m_currentTypes;
}

bool WaylandClipboard::hasOffer() const {
    const QMutexLocker lock(&m_mutex);
    return m_hasOffer;
}

void WaylandClipboard::onDataOffer(wl_proxy* offer) {
    m_announced[offer] = {};
    zwlr_data_control_offer_v1_add_listener(as<Offer>(offer), &kOfferListener, this);
}

void WaylandClipboard::onOfferType(wl_proxy* offer, const char* type) {
    auto it = m_announced.find(offer);
    const QString name = QString::fromUtf8(type);
    if (it != m_announced.end() && !it->second.contains(name))
        it->second.append(name);
}

void WaylandClipboard::destroyOffer(wl_proxy* offer) {
    if (offer)
        zwlr_data_control_offer_v1_destroy(as<Offer>(offer));
}

void WaylandClipboard::onSelection(wl_proxy* offer) {
    QStringList types;
    if (offer) {
        auto it = m_announced.find(offer);
        if (it != m_announced.end()) {
            types = it->second;
            m_announced.erase(it);
        }
    }
    if (m_current != offer)
        destroyOffer(m_current);
    m_current = offer;
    {
        const QMutexLocker lock(&m_mutex);
        m_currentTypes = types;
        m_hasOffer = offer != nullptr;
    }
    if (!m_started)
        return;
    if (offer) {
        m_changeCount.fetch_add(1);
        Q_EMIT changed();
    } else {
        Q_EMIT emptied();
    }
}

void WaylandClipboard::onPrimarySelection(wl_proxy* offer) {
    if (!offer)
        return;
    m_announced.erase(offer);
    destroyOffer(offer);
}

void WaylandClipboard::onFinished() {
    qCWarning(platformLog) << "the compositor withdrew clipboard access";
    zwlr_data_control_device_v1_destroy(as<Device>(m_device));
    m_device = nullptr;
    destroyOffer(m_current);
    m_current = nullptr;
    const QMutexLocker lock(&m_mutex);
    m_currentTypes.clear();
    m_hasOffer = false;
}

std::optional<QByteArray> WaylandClipboard::receive(const QString& type, qint64 maxBytes,
                                                    Failure* failure) {
    auto fail = [failure](Failure why) -> std::optional<QByteArray> {
        if (failure)
            *failure = why;
        return std::nullopt;
    };
    if (failure)
        *failure = Failure::none;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return fail(Failure::failed);
    bool asked = false;
    const QByteArray name = type.toUtf8();
    m_connection.call([&] {
        if (!m_current || m_connection.failed())
            return;
        const QMutexLocker lock(&m_mutex);
        if (!m_currentTypes.contains(type))
            return;
        zwlr_data_control_offer_v1_receive(as<Offer>(m_current), name.constData(), fds[1]);
        asked = true;
    });
    // The request holds its own copy of the write end; ours must go, or the
    // end of the data would never show.
    ::close(fds[1]);
    if (!asked) {
        ::close(fds[0]);
        return fail(Failure::notOffered);
    }
    PipeReader::Failure why = PipeReader::Failure::none;
    auto bytes = PipeReader(kInactivityTimeout, kTransferCap).readAll(fds[0], maxBytes, &why);
    if (!bytes)
        return fail(why == PipeReader::Failure::timedOut ? Failure::timedOut : Failure::failed);
    return bytes;
}

void WaylandClipboard::offer(Item item) {
    auto shared = std::make_shared<const Item>(std::move(item));
    m_connection.post([this, shared] {
        if (!m_device)
            return;
        wl_proxy* source = m_protocol.createSource(m_manager);
        zwlr_data_control_source_v1_add_listener(as<Source>(source), &kSourceListener, this);
        for (const QString& type : SelectionPasteboard::withTextAliases(shared->keys()))
            zwlr_data_control_source_v1_offer(as<Source>(source), type.toUtf8().constData());
        m_sources[source] = shared;
        zwlr_data_control_device_v1_set_selection(as<Device>(m_device), as<Source>(source));
    });
}

void WaylandClipboard::onSend(wl_proxy* source, const char* type, int fd) {
    auto it = m_sources.find(source);
    if (it == m_sources.end()) {
        ::close(fd);
        return;
    }
    auto writer = std::make_shared<PipeWriter>(fd, bytesFor(*it->second, QString::fromUtf8(type)),
                                               kInactivityTimeout, kTransferCap);
    // Most data fits the pipe at once; what does not is written as it drains.
    if (writer->proceed())
        m_connection.watch(fd, POLLOUT, [writer](short) { return writer->proceed(); });
}

void WaylandClipboard::onCancelled(wl_proxy* source) {
    m_sources.erase(source);
    zwlr_data_control_source_v1_destroy(as<Source>(source));
}
