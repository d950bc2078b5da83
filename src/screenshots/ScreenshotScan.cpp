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

bool ScreenshotScan::isScreenshot(const QFileInfo& info, const ScreenCaptureProbe& probe) {
    const QString name = info.fileName();
    if (name.startsWith(QLatin1Char('.')))
        return false;
    if (!extensions().contains(info.suffix().toLower()))
        return false;
    // FIFOs, sockets and devices (or links to them) are never opened.
    if (!info.isFile())
        return false;
    return hasScreenshotName(name) || probe.isScreenCapture(info.absoluteFilePath());
}

QDateTime ScreenshotScan::creationDate(const QFileInfo& info) {
    // A capture is written once, so its modification time is its capture time
    // too; it is the earlier one when the file was copied in with its times
    // kept (a restore, a sync), and the only one where no birth time is kept.
    const QDateTime birth = info.birthTime();
    const QDateTime modified = info.lastModified();
    if (!birth.isValid())
        return modified;
    if (!modified.isValid())
        return birth;
    return std::min(birth, modified);
}

QList<QUrl> ScreenshotScan::list(const QString& folder, const ScreenCaptureProbe& probe) {
    struct Entry {
        QUrl url;
        QDateTime created;
    };
    QList<Entry> entries;
    const QFileInfoList infos =
        QDir(folder).entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QFileInfo& info : infos) {
        if (isScreenshot(info, probe))
            entries.append({QUrl::fromLocalFile(info.absoluteFilePath()), creationDate(info)});
    }
    // Unknown dates are the distant past: they sort last.
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (!a.created.isValid())
            return false;
        return !b.created.isValid() || a.created > b.created;
    });
    QList<QUrl> urls;
    urls.reserve(entries.size());
    for (const Entry& e : entries)
        urls.append(e.url);
    return urls;
}
