#include "screenshots/ScreenshotScan.h"

#include "platform/ScreenCaptureProbe.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

const QStringList& ScreenshotScan::extensions() {
    static const QStringList list{QStringLiteral("png"),  QStringLiteral("jpg"),
                                  QStringLiteral("jpeg"), QStringLiteral("mov"),
                                  QStringLiteral("mp4"),  QStringLiteral("heic"),
                                  QStringLiteral("webm")};
    return list;
}

bool ScreenshotScan::hasScreenshotName(const QString& fileName) {
    // One per thread: listings of two folders may overlap.
    thread_local const QRegularExpression pattern(
        QStringLiteral("^(Screenshot|Screen Shot|Screen Recording|Screencast|CleanShot)\\b"));
    return pattern.match(fileName).hasMatch();
}

namespace {
// A candidate whatever its name: visible, a capture extension, a regular file.
bool mayBeCapture(const QFileInfo& info) {
    if (info.fileName().startsWith(QLatin1Char('.')))
        return false;
    if (!ScreenshotScan::extensions().contains(info.suffix().toLower()))
        return false;
    // FIFOs, sockets and devices (or links to them) are never opened.
    return info.isFile();
}
} // namespace

bool ScreenshotScan::isScreenshot(const QFileInfo& info, const ScreenCaptureProbe& probe) {
    if (!mayBeCapture(info))
        return false;
    return hasScreenshotName(info.fileName()) || probe.isScreenCapture(info.absoluteFilePath());
}

QDateTime ScreenshotScan::creationDate(const QFileInfo& info) {
    const QDateTime birth = info.birthTime();
    return birth.isValid() ? birth : info.lastModified();
}

QDateTime ScreenshotScan::arrivalDate(const QFileInfo& info) {
    const QDateTime created = creationDate(info);
    const QDateTime changed = info.metadataChangeTime();
    if (!created.isValid() || !changed.isValid())
        return created.isValid() ? created : changed;
    return std::max(created, changed);
}

QList<QUrl> ScreenshotScan::Listing::urls() const {
    QList<QUrl> list;
    list.reserve(entries.size());
    for (const Entry& e : entries)
        list.append(e.url);
    return list;
}

ScreenshotScan::Listing ScreenshotScan::list(const QString& folder, const ScreenCaptureProbe& probe,
                                             const CaptureMarks::Keys& remembered) {
    Listing listing;
    const QFileInfoList infos =
        QDir(folder).entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QFileInfo& info : infos) {
        if (!mayBeCapture(info))
            continue;
        const QString path = info.absoluteFilePath();
        // Dated before marking: the mark changes the status time.
        Entry entry{QUrl::fromLocalFile(path), info.fileName(), creationDate(info),
                    arrivalDate(info)};
        const auto key = CaptureMarks::keyOf(path);
        bool capture = CaptureMarks::hasAttribute(path) || (key && remembered.contains(*key));
        if (!capture && isScreenshot(info, probe)) {
            capture = true;
            if (!CaptureMarks::setAttribute(path) && key)
                listing.unmarked.append(*key);
        }
        if (capture)
            listing.entries.append(std::move(entry));
    }
    // Unknown dates are the distant past: they sort last.
    std::stable_sort(listing.entries.begin(), listing.entries.end(),
                     [](const Entry& a, const Entry& b) {
                         if (!a.created.isValid())
                             return false;
                         return !b.created.isValid() || a.created > b.created;
                     });
    return listing;
}
