#pragma once

#include "platform/FrontmostApp.h"
#include "platform/Pasteboard.h"

#include <QHash>

#include <atomic>

// A clipboard held in memory. The unit tier runs without a display, so the
// monitor's rules are checked against this stand-in, which also counts what
// was read; the real X11 clipboard is exercised by the x11-tier tests. The
// monitor reads it from its reading worker; tests change it between changes.
class MemoryPasteboard : public Pasteboard {
public:
    struct Offer {
        QStringList types;
        QHash<QString, QByteArray> data;
        std::optional<QString> string;
        std::optional<QList<QUrl>> urls;
    };

    qint64 changeCount() const override { return m_count.load(); }
    QStringList types() override {
        ++typeReads;
        return m_offer.types;
    }
    std::optional<QByteArray> data(const QString& type, qint64 maxBytes = kNoLimit) override {
        dataReads.append(type);
        if (!m_offer.data.contains(type) || m_offer.data.value(type).size() > maxBytes)
            return std::nullopt;
        return m_offer.data.value(type);
    }
    std::optional<QString> string() override {
        dataReads.append(PasteboardType::string);
        return m_offer.string;
    }
    std::optional<QList<QUrl>> fileUrls() override {
        dataReads.append(PasteboardType::fileUrl);
        return m_offer.urls;
    }
    void clearContents() override { set({}); }
    void writeItem(const QList<PasteboardRepresentation>&) override {}

    // Another application copies: the count moves and the change is announced.
    void set(Offer offer) {
        m_offer = std::move(offer);
        typeReads = 0;
        dataReads.clear();
        ++m_count;
        Q_EMIT changed();
    }

    // The content changes without a new change count (X11 cannot do this;
    // it lets a test see that each retry reads afresh).
    void replaceContent(Offer offer) { m_offer = std::move(offer); }

    int typeReads = 0;
    QStringList dataReads;

private:
    Offer m_offer;
    std::atomic<qint64> m_count{41};
};

class FixedFrontmostApp : public FrontmostApp {
public:
    std::optional<FrontApp> frontmost() override { return app; }
    std::optional<FrontApp> app =
        FrontApp{QStringLiteral("org.example.Editor"), QStringLiteral("Editor")};
};
