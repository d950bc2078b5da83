#pragma once

#include "platform/Pasteboard.h"

#include <QStringList>

// A clipboard read by asking its owner for one named type at a time, as on
// X11 and Wayland: the owner's names vary by toolkit (UTF8_STRING, text/plain,
// STRING…), so reading maps Quillet's types onto the names offered, and a
// secret is never transferred whoever asks. Subclasses say what is offered
// and fetch one name.
class SelectionPasteboard : public Pasteboard {
    Q_OBJECT
public:
    // No single representation is taken beyond this size.
    static constexpr qint64 kMaxDataBytes = 256LL * 1024 * 1024;
    static constexpr qint64 kMaxTextBytes = 64LL * 1024 * 1024;

    using Pasteboard::Pasteboard;

    QStringList types() override;
    std::optional<QByteArray> data(const QString& type, qint64 maxBytes = kNoLimit) override;
    std::optional<QString> string() override;
    std::optional<QList<QUrl>> fileUrls() override;

    // The offered names with Quillet's own names added where an offered name
    // is one of their aliases (UTF8_STRING → text/plain;charset=utf-8 …).
    static QStringList normalizedTypes(const QStringList& offered);
    static bool isConcealed(const QStringList& offered);
    // Quillet's own offer of `formats` with the text aliases other
    // applications ask for added.
    static QStringList withTextAliases(const QStringList& formats);

protected:
    // The names the current owner offers; empty when there is none or it
    // does not answer.
    virtual QStringList offered() = 0;
    // The bytes of one offered name; nothing past maxBytes or on failure.
    virtual std::optional<QByteArray> fetch(const QString& name, qint64 maxBytes) = 0;

private:
    std::optional<QByteArray> fetchFirst(const QStringList& candidates, qint64 maxBytes,
                                         QString* used = nullptr);
};
