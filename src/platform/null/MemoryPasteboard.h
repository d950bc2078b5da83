#pragma once

#include "platform/Pasteboard.h"

#include <QMutex>
#include <QPair>

#include <atomic>

// A clipboard that lives in this process only: what is written is what is read
// back, and every write is a change. The null platform's pasteboard, and the
// way to simulate another application's copy where no window system runs.
// Read from any thread, like the real ones: the history reads offers on a
// worker and polls the change count from another.
class MemoryPasteboard : public Pasteboard {
    Q_OBJECT

public:
    using Pasteboard::Pasteboard;

    qint64 changeCount() const override { return m_changeCount.load(); }
    QStringList types() override;
    std::optional<QByteArray> data(const QString& type, qint64 maxBytes = kNoLimit) override;
    std::optional<QString> string() override;
    std::optional<QList<QUrl>> fileUrls() override;
    void clearContents() override;
    void setMimeData(std::unique_ptr<QMimeData> mime) override;

private:
    // A copy of the formats and their bytes: readers on other threads never
    // touch the QMimeData, which belongs to the main thread.
    mutable QMutex m_mutex;
    QList<QPair<QString, QByteArray>> m_item;
    std::atomic<qint64> m_changeCount{0};
};
