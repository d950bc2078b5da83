#pragma once

#include "platform/Pasteboard.h"

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
class X11Pasteboard : public Pasteboard {
    Q_OBJECT
public:
    // No progress for this long gives a transfer up.
    static constexpr std::chrono::milliseconds kInactivityTimeout{5000};
    // However steadily an owner trickles, a transfer ends here.
    static constexpr std::chrono::milliseconds kTransferCap{30000};
    // No single representation is taken beyond this size.
    static constexpr qint64 kMaxDataBytes = 256LL * 1024 * 1024;
    static constexpr qint64 kMaxTextBytes = 64LL * 1024 * 1024;

    explicit X11Pasteboard(QObject* parent = nullptr);
    ~X11Pasteboard() override;

    qint64 changeCount() const override { return m_changeCount.load(std::memory_order_relaxed); }
    QStringList types() override;
    std::optional<QByteArray> data(const QString& type, qint64 maxBytes = kNoLimit) override;
    std::optional<QString> string() override;
    std::optional<QList<QUrl>> fileUrls() override;
    void clearContents() override;
    void setMimeData(std::unique_ptr<QMimeData> mime) override;

    // The offered names with Quillet's own names added where an offered name
    // is one of their aliases (UTF8_STRING → text/plain;charset=utf-8 …).
    static QStringList normalizedTypes(const QStringList& offered);
    static bool isConcealed(const QStringList& offered);

private:
    void onClipboardChanged();
    QStringList offered();
    std::optional<QByteArray> fetch(const QString& target, qint64 maxBytes);
    std::optional<QByteArray> fetchFirst(const QStringList& candidates, qint64 maxBytes,
                                         QString* used = nullptr);

    std::atomic<qint64> m_changeCount{0};
    std::unique_ptr<X11SelectionReader> m_reader;
    // The change whose owner stopped answering; reads fail at once until the next one.
    qint64 m_stalledChange = -1;
    // The targets another owner offered for one change.
    qint64 m_targetsChange = -1;
    QStringList m_targets;
};
