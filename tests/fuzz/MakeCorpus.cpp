// Writes the seed corpora of the fuzz targets into the folder given (the
// repository's tests/fuzz/corpus): small valid and near-valid inputs of each
// parser, the images from the tests' own generators. Run again after a
// change of format; the files are kept in the repository.
#include "helpers/TestImages.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

namespace {
QString root;

void put(const char* target, const char* name, const QByteArray& bytes) {
    const QString dir = root + QLatin1Char('/') + QLatin1String(target);
    QDir().mkpath(dir);
    QFile f(dir + QLatin1Char('/') + QLatin1String(name));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        std::fprintf(stderr, "cannot write %s\n", qPrintable(f.fileName()));
}

QByteArray pngWithSoftware(const QString& software) {
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    image.setText(QStringLiteral("Software"), software);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The PNG with a text chunk after its header that claims 2 GB and holds a few
// bytes: the decoder must not be reached with it.
QByteArray withHugeChunk(const QByteArray& png) {
    constexpr qsizetype afterHeader = 8 + 25; // signature, IHDR chunk
    return png.left(afterHeader) + QByteArray("\x7f\xff\xf0\x00tEXtSoftware", 16) +
           png.mid(afterHeader);
}

QByteArray field(const QByteArray& a, const QByteArray& b) {
    return a + '\0' + b;
}
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS-FOLDER\n", argv[0]);
        return 2;
    }
    root = QString::fromLocal8Bit(argv[1]);

    // The first byte picks the offered format: even PNG, odd TIFF.
    put("clip_image", "png", '\0' + TestImages::png(4, 3));
    put("clip_image", "png-noisy", '\0' + TestImages::png(8, 8, true));
    put("clip_image", "png-truncated", '\0' + TestImages::truncatedPng().left(400));
    put("clip_image", "png-huge-chunk", '\0' + withHugeChunk(TestImages::png(4, 3)));
    put("clip_image", "tiff", '\1' + TestImages::tiff(4, 3));

    // First byte: bit 0 plain text type, 1 rtf, 2 uri-list, 3 concealed, high nibble cut limit.
    put("clip_text", "text", "\x30" + QByteArray("Hello, world"));
    put("clip_text", "link", QByteArray(1, '\0') + QByteArray("  https://example.org/a?b=c \n"));
    put("clip_text", "rtf",
        field("\x23"
              "Bold",
              "{\\rtf1\\ansi {\\b Bold}}"));
    put("clip_text", "files", field("\x05/tmp/a", "file:///tmp/a\r\n"));
    put("clip_text", "concealed", "\x08secret");
    put("clip_text", "graphemes",
        "\x20" + QByteArray("e\xcc\x81\xf0\x9f\x91\xa8\xe2\x80\x8d\xf0\x9f"
                            "\x91\xa9\xf0\x9f\x87\xa9\xf0\x9f\x87\xaa"));
    put("clip_text", "nuls", QByteArray("\x01text\0\0", 8));

    put("file_urls", "uri-list", "# comment\r\nfile:///home/u/a.txt\r\nfile:///tmp/b%20c\r\n");
    put("file_urls", "gnome", "copy\nfile:///home/u/Pictures/x.png\nfile:///home/u/y");
    put("file_urls", "mixed", "https://example.org/\nfile:///etc/hosts\n");

    put("defaults_file", "typed",
        R"({"b": true, "i": 42, "d": 1.5, "s": "Yes", "l": ["a", "b"], "n": null, "o": {}})");
    put("defaults_file", "shortcut",
        R"({"KeyboardShortcuts_toggle": "{\"carbonKeyCode\":9,\"carbonModifiers\":768}"})");
    put("defaults_file", "damaged", R"({"b": true, "i": 4)");
    put("defaults_file", "array", "[1, 2]");

    put("shortcut_json", "v", R"({"carbonKeyCode":9,"carbonModifiers":768})");
    put("shortcut_json", "big", R"({"carbonModifiers":1e300,"carbonKeyCode":-1})");
    put("shortcut_json", "fraction", R"({"carbonKeyCode":9.5,"carbonModifiers":0})");

    put("desktop_entry", "autostart",
        field("[Desktop Entry]\nType=Application\nName=Quillet\nName[de]=Quillet DE\n"
              "Exec=quillet --hidden\nHidden=false\nX-GNOME-Autostart-enabled=true\n",
              "de_DE.UTF-8@euro"));
    put("desktop_entry", "escapes",
        "# c\n[Desktop "
        "Entry]\nName=a\\sb\\nc\\\\d\nMimeType=image/png;text\\;x;;\n[Other]\nName=x");

    put("ini_key", "flameshot",
        field("[General]\nsavePath=/home/u/Shots\nsavePathFixed=true\n", "/tmp/new"));
    put("ini_key", "crlf",
        field("; c\r\n[Save]\r\ndefaultSaveLocation=file:///x/\r\n[General]", "\"quoted value\""));
    put("ini_key", "xfce", field("screenshot_dir=file:///home/u/Pictures\nlast_user=", "x"));

    // First byte: bits 0-1 the desktop, 2-3 the tool (Spectacle, Flameshot, Xfce).
    put("tool_config", "spectacle",
        QByteArray(1, '\0') + "[Save]\ndefaultSaveLocation=file:///home/u/Shots/\n");
    put("tool_config", "flameshot",
        "\x06[General]\nsavePath=\"/home/u/with;semi\"\nsavePathFixed=true\n");
    put("tool_config", "xfce", "\x09screenshot_dir=~/Pictures\n");

    put("update_feed", "feed", R"({"version": "1.2.0", "url": "https://example.org/quillet"})");
    put("update_feed", "versions", field("v1.2.0-rc1", "1.2+build5"));
    put("update_feed", "old", R"({"version": " 0.9 ", "url": "javascript:void"})");

    put("png_probe", "gnome", pngWithSoftware(QStringLiteral("gnome-screenshot")));
    put("png_probe", "other", pngWithSoftware(QStringLiteral("Some editor")));
    put("png_probe", "huge-chunk",
        withHugeChunk(pngWithSoftware(QStringLiteral("gnome-screenshot"))));
    put("png_probe", "name", "Screenshot_20240101_120000-2.png");

    put("debug_command", "state", field("state", "a\xcc\x81" + QByteArray(100, 'x')));
    put("debug_command", "restore", "restore:42");
    put("debug_command", "snapshot", "snapshotQuick:/nonexistent/q.png");
    put("debug_command", "panel", "openPanelScreens");
    return 0;
}
