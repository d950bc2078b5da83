#include "platform/freedesktop/FreedesktopScreenCaptureProbe.h"

#include "platform/PngChunks.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Default file names of the screenshot tools, with the "-1"/"_1" suffixes
// they add when a name is taken.
const QRegularExpression& toolTemplates() {
    // One per thread: the probe runs on listing threads.
    thread_local const QRegularExpression re(QStringLiteral(
        "^(?:"
        "Screenshot_\\d{8}_\\d{6}(?:-\\d+)?"                              // Spectacle
        "|Screenshot_\\d{4}-\\d{2}-\\d{2}_\\d{2}-\\d{2}-\\d{2}(?:-\\d+)?" // Xfce Screenshooter
        "|\\d{4}-\\d{2}-\\d{2}_\\d{2}-\\d{2}(?:_\\d+)?"                   // Flameshot
        ")\\.[^.]+$"));
    return re;
}
} // namespace

bool FreedesktopScreenCaptureProbe::hasToolTemplateName(const QString& fileName) {
    return toolTemplates().match(fileName).hasMatch();
}

QString FreedesktopScreenCaptureProbe::pngSoftware(const QString& path) {
    // O_NONBLOCK so that a FIFO swapped in after the listing cannot hang us;
    // fstat on the open descriptor closes that race for good.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {};
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return {};
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {};
    }
    static const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    if (file.peek(signature.size()) != signature)
        return {};
    // A damaged file whose chunk claims gigabytes would cost them in memory.
    if (!file.seek(signature.size()) || !PngChunks::lengthsFit(file) || !file.seek(0))
        return {};
    QImageReader reader(&file, "png");
    return reader.text(QStringLiteral("Software"));
}

bool FreedesktopScreenCaptureProbe::isScreenCapture(const QString& path) const {
    if (hasToolTemplateName(QFileInfo(path).fileName()))
        return true;
    if (!path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
        return false;
    return pngSoftware(path) == QLatin1String("gnome-screenshot");
}
