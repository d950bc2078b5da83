// File operations of ScreenshotWatcher on the captures it lists.

#include "screenshots/ScreenshotWatcher.h"

#include "platform/ScreenshotLocation.h"
#include "platform/Trash.h"
#include "screenshots/CaptureMarks.h"
#include "screenshots/ScreenshotScan.h"
#include "screenshots/ScreenshotsLog.h"
#include "settings/Prefs.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

namespace {
constexpr qint64 kSecondsPerDay = 86400;

QString trimSpacesAndTabs(const QString& text) {
    qsizetype from = 0;
    qsizetype to = text.size();
    auto blank = [](QChar c) {
        return c == QLatin1Char(' ') || c == QLatin1Char('\t');
    };
    while (from < to && blank(text[from]))
        ++from;
    while (to > from && blank(text[to - 1]))
        --to;
    return text.mid(from, to - from);
}

// A name that already ends in a capture extension is used as typed; any
// other keeps the file's extension, so "v1.2 mock" stays an image.
QString withExtension(const QString& name, const QString& extension) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0 && ScreenshotScan::extensions().contains(name.mid(dot + 1).toLower()))
        return name;
    return extension.isEmpty() ? name : name + QLatin1Char('.') + extension;
}
} // namespace

std::optional<QUrl> ScreenshotWatcher::renameScreenshot(const QUrl& url, const QString& newName) {
    QString name = trimSpacesAndTabs(newName);
    if (name.isEmpty())
        return std::nullopt;
    // A name is a name, not a path: "a/b" or ".." would leave the folder.
    if (name.contains(QLatin1Char('/')) || name == QLatin1String(".") ||
        name == QLatin1String(".."))
        return std::nullopt;
    name = withExtension(name, QFileInfo(url.fileName()).suffix());
    const QString source = url.toLocalFile();
    const QString target = QFileInfo(source).absolutePath() + QLatin1Char('/') + name;
    // QFile::rename never replaces an existing file, which is the failure we want.
    if (!QFile::rename(source, target))
        return std::nullopt;
    const QUrl destination = QUrl::fromLocalFile(target);
    // Its new name may not look like a capture's: the mark says it is one.
    m_marks.mark(target);
    m_known.remove(url.fileName());
    m_known.insert(name);
    const qsizetype at = m_screenshots.indexOf(url);
    if (at >= 0) {
        m_screenshots[at] = destination;
        Q_EMIT screenshotsChanged();
    }
    return destination;
}

void ScreenshotWatcher::trashScreenshot(const QUrl& url) {
    // A file the Trash refused stays listed and known: forgetting it would
    // make the next listing announce it as a brand-new capture.
    const QString path = url.toLocalFile();
    const auto key = CaptureMarks::keyOf(path);
    if (!m_trash.moveToTrash(path) && QFileInfo::exists(path))
        return;
    if (key)
        m_marks.forget(*key);
    m_known.remove(url.fileName());
    QList<QUrl> rest = m_screenshots;
    rest.removeAll(url);
    setScreenshots(rest);
}

void ScreenshotWatcher::sweepOldScreenshots() {
    const qint64 days = m_prefs.autoDeleteDays();
    if (days < 1)
        return;
    const QDateTime cutoff = m_timing.now().addSecs(-days * kSecondsPerDay);
    const QList<QUrl> snapshot = m_screenshots;
    for (const QUrl& url : snapshot) {
        const QFileInfo info(url.toLocalFile());
        if (!info.exists())
            continue; // no date: never old enough
        // Counted from its arrival: a capture moved in with old dates still
        // gets its full days in the folder.
        const QDateTime arrived = ScreenshotScan::arrivalDate(info);
        if (arrived.isValid() && arrived < cutoff)
            trashScreenshot(url);
    }
}

void ScreenshotWatcher::applyDedicatedFolder(bool on) {
    if (on) {
        const QString target = QDir::cleanPath(m_location.dedicatedFolder());
        if (!QDir().mkpath(target))
            qCWarning(screenshotsLog) << "cannot make the screenshot folder" << target;
        m_location.write(target);
    } else {
        m_location.restore();
    }
    QTimer::singleShot(0, this, &ScreenshotWatcher::relocateIfNeeded);
}
