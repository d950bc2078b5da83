#pragma once

#include <QString>

// Tells whether a file was made by a screen-capture tool, for files whose
// name alone does not say so. Called from background threads: implementations
// must be thread-safe and must not block on special files.
class ScreenCaptureProbe {
public:
    virtual ~ScreenCaptureProbe() = default;
    virtual bool isScreenCapture(const QString& path) const = 0;
};
