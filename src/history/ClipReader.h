#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

class Pasteboard;

// What one clipboard change holds, as far as the history keeps it.
struct ClipOffer {
    enum class Kind {
        nothing, // nothing readable (yet)
        skipped, // marked concealed, transient or auto-generated, or text too long
        files,
        image,
        text,
    };
    Kind kind = Kind::nothing;
    QList<QUrl> urls;
    QByteArray image;
    QByteArray imageFormat; // "png" or "tiff"
    QString text;
    std::optional<QByteArray> rtf;
};

// Reads the current offer of a pasteboard in the order the history
// classifies it: marker types (before any data), file references, an image,
// then text with its rich text. Only what the first branch that applies
// needs is transferred. Runs on a worker: a transfer may take seconds.
namespace ClipReader {
// Rich text of this size or more is not kept, and not transferred beyond it.
constexpr qint64 kMaxRtfBytes = 2097152;

ClipOffer read(Pasteboard& pasteboard);
} // namespace ClipReader
