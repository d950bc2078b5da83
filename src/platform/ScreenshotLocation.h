#pragma once

#include <QString>

// Where the user's screenshot tool saves its captures. On Linux every tool
// keeps its own setting; implementations decide which one speaks for the
// session and write all of them on an explicit switch.
class ScreenshotLocation {
public:
    struct Folder {
        QString path; // absolute; the tool may make it only with its first capture
        // Where the answer came from, for the settings: "from Spectacle's settings".
        QString origin;
        // The session's tool plays the capture sound itself.
        bool toolPlaysSound = false;
    };

    virtual ~ScreenshotLocation() = default;
    virtual Folder resolve() const = 0;
    QString read() const { return resolve().path; }
    // The folder the dedicated-folder switch saves into.
    virtual QString dedicatedFolder() const = 0;
    // Sets the save folder of every tool that has settings, remembering what
    // each held before the first such write; failures are dropped.
    virtual void write(const QString& path) = 0;
    // Puts back what the first write() replaced, removing what was not there.
    virtual void restore() = 0;
};
