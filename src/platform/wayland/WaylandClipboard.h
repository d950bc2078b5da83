#pragma once

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QObject>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <optional>

class WaylandConnection;
struct wl_proxy;
struct wl_seat;

// The clipboard of the first seat through the data-control protocol (the
// standard ext-data-control-v1 where offered, else its wlroots forerunner,
// version 2 or later): the offers of other applications, read one type at a
// time through a pipe, and Quillet's own offers, served from memory. Wayland
// objects live on the connection's event thread; the methods below may be
// called from any other thread. The primary selection is ignored.
class WaylandClipboard : public QObject {
    Q_OBJECT
public:
    using Item = QHash<QString, QByteArray>;

    // No progress for this long gives a transfer up, in either direction.
    static constexpr std::chrono::milliseconds kInactivityTimeout{5000};
    // However steadily the other side goes on, a transfer ends here.
    static constexpr std::chrono::milliseconds kTransferCap{30000};

    // Nothing when the compositor offers no data-control or no seat. Binds
    // on `connection` before its event thread starts, and learns the offer
    // present at start without counting it as a change.
    static std::unique_ptr<WaylandClipboard> create(WaylandConnection& connection);
    ~WaylandClipboard() override;

    // "ext-data-control-v1" or "wlr-data-control-unstable-v1".
    QString protocolName() const { return m_protocolName; }
    // Moves with every new offer on the clipboard, Quillet's own included.
    qint64 changeCount() const { return m_changeCount.load(); }
    // The types of the current offer, known before any transfer; empty when
    // the clipboard is.
    QStringList offeredTypes() const;
    bool hasOffer() const;

    enum class Failure { none, notOffered, timedOut, failed };
    // The bytes of one offered type; nothing past maxBytes or on failure.
    // Never from the event thread.
    std::optional<QByteArray> receive(const QString& type, qint64 maxBytes,
                                      Failure* failure = nullptr);
    // Makes Quillet the owner of `item` (type → bytes), until another offer
    // replaces it. An empty item owns an empty clipboard.
    void offer(Item item);

    // Event-thread callbacks of the protocol's listeners.
    struct Listeners;
    // Which of the two data-control protocols, and how to make its objects.
    struct Protocol;

Q_SIGNALS:
    // Emitted from the event thread: a new offer came (the count moved).
    void changed();
    // Emitted from the event thread: the clipboard became empty, its owner gone.
    void emptied();

private:
    WaylandClipboard(WaylandConnection& connection, const Protocol& protocol, wl_seat* seat,
                     wl_proxy* manager);

    void onDataOffer(wl_proxy* offer);
    void onOfferType(wl_proxy* offer, const char* type);
    void onSelection(wl_proxy* offer);
    void onPrimarySelection(wl_proxy* offer);
    void onFinished();
    void onSend(wl_proxy* source, const char* type, int fd);
    void onCancelled(wl_proxy* source);
    void destroyOffer(wl_proxy* offer);

    WaylandConnection& m_connection;
    const Protocol& m_protocol;
    QString m_protocolName;
    wl_seat* m_seat = nullptr;
    wl_proxy* m_manager = nullptr;
    wl_proxy* m_device = nullptr;

    // Event thread only.
    std::map<wl_proxy*, QStringList> m_announced; // offers whose use is not yet known
    wl_proxy* m_current = nullptr;
    std::map<wl_proxy*, std::shared_ptr<const Item>> m_sources;
    bool m_started = false;

    mutable QMutex m_mutex;
    QStringList m_currentTypes; // guarded by m_mutex
    bool m_hasOffer = false;    // guarded by m_mutex
    std::atomic<qint64> m_changeCount{0};
};
