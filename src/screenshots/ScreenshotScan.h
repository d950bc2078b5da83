#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QUrl>

class QFileInfo;
class ScreenCaptureProbe;

// Which files of a folder are screenshots or screen recordings, and the
// listing of a folder, newest first. Pure file-system work: safe to run on
// any thread.
class ScreenshotScan {
public:
    // Lower-case extensions of captures; webm is how GNOME records the screen.
    static const QStringList& extensions();
    // True for a regular file (or a link to one) with a capture extension and
    // a capture name, or that the probe recognises. The probe is asked only
    // when the name does not tell.
    static bool isScreenshot(const QFileInfo& info, const ScreenCaptureProbe& probe);
    static bool hasScreenshotName(const QString& fileName);
    // When the capture was made: the earlier of birth and modification time.
    static QDateTime creationDate(const QFileInfo& info);
    // The captures directly in folder, newest first; empty when unreadable.
    static QList<QUrl> list(const QString& folder, const ScreenCaptureProbe& probe);
};
