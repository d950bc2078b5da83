#pragma once

#include "platform/SelectionPasteboard.h"

#include <QStringList>

#include <atomic>
#include <chrono>
#include <memory>

class X11SelectionReader;

// The X11 CLIPBOARD selection. The change count moves on every change of
// owner Qt reports (through XFixes, so also while Quillet has no focus) and
// on Quillet's own writes. Another client's offer is read on a connection of
// Quillet's own, each transfer bounded by inactivity, size and an overall
// cap; once a transfer of a change stalls, nothing more is asked of that
// owner until the next change, so a stuck owner costs one wait, not one per
// read. Reads may run on a worker (one at a time): there Quillet's own offer
// is read through the X server like any other, served by the main thread.
// Everything else is main thread only.
class X11Pasteboard : public SelectionPasteboard {
    Q_OBJECT
public:
    // No progress for this long gives a transfer up.
    static constexpr std::chrono::milliseconds kInactivityTimeout{5000};
    // However steadily an owner trickles, a transfer ends here.
    static constexpr std::chrono::milliseconds kTransferCap{30000};

    explicit X11Pasteboard(QObject* parent = nullptr);
    ~X11Pasteboard() override;

    qint64 changeCount() const override { return m_changeCount.load(std::memory_order_relaxed); }
    void clearContents() override;
    void setMimeData(std::unique_ptr<QMimeData> mime) override;

protected:
    QStringList offered() override;
    std::optional<QByteArray> fetch(const QString& target, qint64 maxBytes) override;

private:
    void onClipboardChanged();

    std::atomic<qint64> m_changeCount{0};
    std::unique_ptr<X11SelectionReader> m_reader;
    // The change whose owner stopped answering; reads fail at once until the next one.
    qint64 m_stalledChange = -1;
    // The targets another owner offered for one change.
    qint64 m_targetsChange = -1;
    QStringList m_targets;
};
