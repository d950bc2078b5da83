// The PNG text probe that tells a capture from another picture, on the file
// as it lies in the screenshot folder, and the tools' file-name templates.
#include "FuzzSupport.h"
#include "platform/freedesktop/FreedesktopScreenCaptureProbe.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Fuzz::ensureApp();
    const QByteArray input = Fuzz::bytes(data, size);
    const QString path = Fuzz::writeFile(QStringLiteral("probe.png"), input);
    const QString software = FreedesktopScreenCaptureProbe::pngSoftware(path);
    FUZZ_CHECK(software.isEmpty() || input.startsWith("\x89PNG\r\n\x1a\n"));
    FreedesktopScreenCaptureProbe().isScreenCapture(path);
    FreedesktopScreenCaptureProbe::hasToolTemplateName(QString::fromUtf8(input.left(64)));
    return 0;
}
