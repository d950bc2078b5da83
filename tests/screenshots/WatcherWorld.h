#pragma once

// The world the screenshot watcher tests share: settings, tool configuration
// and folders in a temp dir, and doubles only for what cannot run here.
#include "helpers/TempPrefs.h"
#include "platform/SystemSound.h"
#include "platform/freedesktop/FreedesktopScreenCaptureProbe.h"
#include "platform/freedesktop/FreedesktopTrash.h"
#include "platform/freedesktop/InotifyFolderWatch.h"
#include "platform/freedesktop/ToolScreenshotLocation.h"
#include "screenshots/CaptureMarks.h"
#include "screenshots/ScreenshotScan.h"
#include "screenshots/ScreenshotWatcher.h"
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <QTimer>
#include <sys/stat.h>

namespace WatcherWorld {
inline constexpr int kWait = 5000;

inline void writeFile(const QString& path, const QByteArray& bytes = "capture") {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// Writes path so that its capture date is later than than's: file times
// come from a coarse clock, and files written in one tick share a date.
inline bool writtenNewer(const QString& path, const QString& than) {
    QFile::remove(path);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write("capture") != 7)
        return false;
    f.close();
    return ScreenshotScan::creationDate(QFileInfo(path)) >
           ScreenshotScan::creationDate(QFileInfo(than));
}

inline void age(const QString& path, int days) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.setFileTime(QDateTime::currentDateTime().addDays(-days),
                          QFileDevice::FileModificationTime));
}

// No audio device here: remembers the events instead of playing them.
class RecordingSound : public SystemSound {
public:
    void play(const QString& eventId) override { played.append(eventId); }
    QStringList played;
};

// The real Trash cannot be made to refuse a file when tests run as root.
class RefusingTrash : public FreedesktopTrash {
public:
    bool moveToTrash(const QString&) override { return false; }
};

// One user's world: settings, tool configuration and folders in a temp dir.
// The session is KDE, so the folder is whatever spectaclerc names.
struct World : TempPrefs {
    ToolScreenshotLocation location{dir.filePath(QStringLiteral("cfg")), QStringLiteral("KDE"),
                                    &defaults};
    CaptureMarks marks{dir.filePath(QStringLiteral("capture-marks"))};
    FreedesktopTrash trash;
    RecordingSound sound;
    QList<QUrl> copied;
    QList<qint64> copiedSizes;

    QString folder(const QString& name = QStringLiteral("shots")) const {
        return dir.filePath(name);
    }
    void pointTo(const QString& path) {
        writeFile(location.spectacleConfig(),
                  "[Save]\ndefaultSaveLocation=" + QUrl::fromLocalFile(path).toEncoded() + "/\n");
    }
    std::unique_ptr<ScreenshotWatcher> watcher(Trash* trashToUse = nullptr,
                                               ScreenshotWatcher::Timing timing = {}) {
        auto w = std::make_unique<ScreenshotWatcher>(
            prefs, location, trashToUse ? *trashToUse : trash, sound, marks,
            std::make_unique<InotifyFolderWatch>(),
            std::make_shared<FreedesktopScreenCaptureProbe>(),
            [this](const QUrl& url) {
                copied.append(url);
                copiedSizes.append(QFileInfo(url.toLocalFile()).size());
            },
            timing);
        return w;
    }
};

inline QUrl urlOf(const QString& folder, const QString& name) {
    return QUrl::fromLocalFile(folder + QLatin1Char('/') + name);
}

// Waits until the watcher has listed its folder and watches it.
inline void waitUntilWatching(ScreenshotWatcher& w, const QString& folder) {
    QTRY_VERIFY_WITH_TIMEOUT(w.isWatching() && w.dir() == QUrl::fromLocalFile(folder), kWait);
    const qsizetype present =
        QDir(folder).entryList({QStringLiteral("Screenshot*")}, QDir::Files).size();
    QTRY_COMPARE_WITH_TIMEOUT(w.known().size(), present, kWait);
}
} // namespace WatcherWorld
