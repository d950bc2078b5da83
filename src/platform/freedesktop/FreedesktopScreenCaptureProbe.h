#pragma once

#include "platform/ScreenCaptureProbe.h"

// A capture is a PNG whose "Software" text says gnome-screenshot (GNOME Shell
// and gnome-screenshot write it), or a file named after the default template
// of one of the common screenshot tools.
class FreedesktopScreenCaptureProbe : public ScreenCaptureProbe {
public:
    bool isScreenCapture(const QString& path) const override;

    static bool hasToolTemplateName(const QString& fileName);
    // Reads only the PNG header chunks; opens nothing but regular files.
    static QString pngSoftware(const QString& path);
};
