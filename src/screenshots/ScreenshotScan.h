#pragma once

#include "screenshots/CaptureMarks.h"

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
    struct Entry {
        QUrl url;
        // The url's file name, taken here: a listing of a large folder would
        // spend most of its time on the main thread deriving it again.
        QString name;
        QDateTime created;
        // When the file arrived under its present name, as far as the file
        // system tells (see arrivalDate).
        QDateTime arrived;
    };
    struct Listing {
        QList<Entry> entries; // newest first
        // Captures first recognised now whose file refused the mark attribute.
        QList<CaptureMarks::Key> unmarked;
        QList<QUrl> urls() const;
    };

    // Lower-case extensions of captures; webm is how GNOME records the screen.
    static const QStringList& extensions();
    // True for a regular file (or a link to one) with a capture extension and
    // a capture name, or that the probe recognises. The probe is asked only
    // when the name does not tell.
    static bool isScreenshot(const QFileInfo& info, const ScreenCaptureProbe& probe);
    static bool hasScreenshotName(const QString& fileName);
    // When the capture was made: its birth time, or where the file system
    // keeps none, its modification time (a capture is written once).
    static QDateTime creationDate(const QFileInfo& info);
    // The later of the creation date and the last status change: a file
    // moved in keeps its birth and modification times, but its status
    // changes as it arrives. Never earlier than the file's arrival.
    static QDateTime arrivalDate(const QFileInfo& info);
    // The captures directly in folder, newest first; empty when unreadable.
    // A file marked as a capture (by attribute or in remembered) is one
    // whatever its name; a file recognised for the first time is marked.
    static Listing list(const QString& folder, const ScreenCaptureProbe& probe,
                        const CaptureMarks::Keys& remembered = {});
};
