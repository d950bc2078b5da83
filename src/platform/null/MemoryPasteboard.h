#pragma once

#include "platform/Pasteboard.h"

// A clipboard that lives in this process only: what is written is what is read
// back, and every write is a change. The null platform's pasteboard, and the
// way to simulate another application's copy where no window system runs.
class MemoryPasteboard : public Pasteboard {
    Q_OBJECT

public:
    using Pasteboard::Pasteboard;

    qint64 changeCount() const override { return m_changeCount; }
    QStringList types() override;
    std::optional<QByteArray> data(const QString& type, qint64 maxBytes = kNoLimit) override;
    std::optional<QString> string() override;
    std::optional<QList<QUrl>> fileUrls() override;
    void clearContents() override;
    void writeItem(const QList<PasteboardRepresentation>& representations) override;

private:
    QList<PasteboardRepresentation> m_item;
    qint64 m_changeCount = 0;
};
