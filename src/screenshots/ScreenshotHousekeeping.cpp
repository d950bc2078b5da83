// File operations of ScreenshotWatcher on the captures it lists.

#include "screenshots/ScreenshotWatcher.h"

#include "app/Prefs.h"
#include "platform/ScreenshotLocation.h"
#include "platform/Trash.h"
#include "screenshots/ScreenshotScan.h"

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
} // namespace

std::optional<QUrl> ScreenshotWatcher::renameScreenshot(const QUrl& url, const QString& newName) {
    QString name = trimSpacesAndTabs(newName);
    if (name.isEmpty())
        return std::nullopt;
    // A name is a name, not a path: "a/b" or ".." would leave the folder.
    if (name.contains(QLatin1Char('/')) || name == QLatin1String(".") ||
        name == QLatin1String(".."))
        return std::nullopt;
    if (!name.contains(QLatin1Char('.'))) {
        const QString extension = QFileInfo(url.fileName()).suffix();
        name += QLatin1Char('.') + extension;
    }
    const QString source = url.toLocalFile();
    const QString target = QFileInfo(source).absolutePath() + QLatin1Char('/') + name;
    // QFile::rename never replaces an existing file, which is the failure we want.
    if (!QFile::rename(source, target))
        return std::nullopt;
    const QUrl destination = QUrl::fromLocalFile(target);
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
    if (!m_trash.moveToTrash(path) && QFileInfo::exists(path))
        return;
    m_known.remove(url.fileName());
    QList<QUrl> rest = m_screenshots;
    rest.removeAll(url);
    setScreenshots(rest);
}

void ScreenshotWatcher::sweepOldScreenshots() {
    const qint64 days = m_prefs.autoDeleteDays();
    if (days < 1)
        return;
    const QDateTime cutoff = QDateTime::currentDateTime().addSecs(-days * kSecondsPerDay);
    const QList<QUrl> snapshot = m_screenshots;
    for (const QUrl& url : snapshot) {
        const QFileInfo info(url.toLocalFile());
        if (!info.exists())
            continue; // no date: never old enough
        const QDateTime created = ScreenshotScan::creationDate(info);
        if (created.isValid() && created < cutoff)
            trashScreenshot(url);
    }
}

void ScreenshotWatcher::setDedicatedFolder(bool on) {
    shared().applyDedicatedFolder(on);
}

void ScreenshotWatcher::applyDedicatedFolder(bool on) {
    QString target;
    if (on) {
        target = QDir::homePath() + QStringLiteral("/Pictures/Screenshots");
        QDir().mkpath(target);
    } else {
        target = QDir::homePath() + QStringLiteral("/Desktop");
    }
    m_location.write(QDir::cleanPath(target));
    QTimer::singleShot(0, this, &ScreenshotWatcher::relocateIfNeeded);
}
