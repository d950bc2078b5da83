#pragma once

#include <QString>

// Where the user's screenshot tool saves its captures. On Linux every tool
// keeps its own setting; implementations decide which one speaks for the
// session and write all of them on an explicit switch.
class ScreenshotLocation {
public:
    virtual ~ScreenshotLocation() = default;
    // An absolute folder path; it may name a folder that does not exist.
    virtual QString read() const = 0;
    // Sets the save folder of every tool that has settings; failures are dropped.
    virtual void write(const QString& path) = 0;
};
