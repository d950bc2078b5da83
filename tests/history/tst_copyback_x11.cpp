#include "app/Prefs.h"
#include "helpers/ClipboardOwner.h"
#include "history/CopyBack.h"
#include "platform/freedesktop/JsonDefaultsStore.h"
#include "platform/freedesktop/XdgAutostartLoginItem.h"
#include "platform/x11/X11PasteKeystroke.h"
#include "platform/x11/X11Pasteboard.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

// Copy back on the real X11 clipboard under the harness's Xvfb; xclip reads
// it back as another application would.
namespace {
struct Fixture {
    QTemporaryDir dir;
    JsonDefaultsStore defaults{dir.filePath(QStringLiteral("defaults.json"))};
    XdgAutostartLoginItem login{dir.filePath(QStringLiteral("cfg")),
                                {dir.filePath(QStringLiteral("etc"))},
                                QStringLiteral("quillet")};
    Prefs prefs{defaults, login};
    X11Pasteboard pasteboard;
    X11PasteKeystroke keystroke;
    CopyBack copyBack{pasteboard, keystroke, prefs};

    QString file(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
        return path;
    }
};

QByteArray pngBytes(QSize size) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(QColor(200, 20, 40));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray read(const QString& type) {
    return ClipboardOwner::readBack(type);
}

const QString utf8 = QStringLiteral("UTF8_STRING");
const QString tiffSize = QStringLiteral("tiff size");
} // namespace

class TestCopyBackX11 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readBackByAnotherApplication_data();
    void readBackByAnotherApplication();
    void chosenItemIsPastedIntoThePreviousWindow();
};

// Columns: what to copy, then every type another application reads, with the
// bytes it must get (empty: the type is not offered).
void TestCopyBackX11::readBackByAnotherApplication_data() {
    QTest::addColumn<QString>("what");
    QTest::addColumn<QList<PasteboardRepresentation>>("expected");

    const QByteArray png = pngBytes(QSize(6, 4));
    const QByteArray rtf = "{\\rtf1\\ansi rich}";
    const QByteArray none;
    QTest::newRow("text") << "text"
                          << QList<PasteboardRepresentation>{
                                 {utf8, "héllo\nwörld"},
                                 {PasteboardType::string, "héllo\nwörld"},
                                 {PasteboardType::rtf, none}};
    QTest::newRow("rich text") << "rtf"
                               << QList<PasteboardRepresentation>{{utf8, "rich"},
                                                                  {PasteboardType::rtf, rtf}};
    QTest::newRow("image") << "image"
                           << QList<PasteboardRepresentation>{
                                  {PasteboardType::png, png}, {tiffSize, "6x4"}, {utf8, none}};
    QTest::newRow("image, blob gone")
        << "image gone"
        << QList<PasteboardRepresentation>{
               {PasteboardType::png, none}, {PasteboardType::tiff, none}, {utf8, none}};
    QTest::newRow("one of several files")
        << "files"
        << QList<PasteboardRepresentation>{{PasteboardType::fileUrl, "FILEURL\r\n"},
                                           {PasteboardType::gnomeCopiedFiles, "copy\nFILEURL"},
                                           {utf8, "FILEPATH"},
                                           {PasteboardType::png, none}};
    QTest::newRow("upper-case PNG screenshot")
        << "shot.PNG"
        << QList<PasteboardRepresentation>{{PasteboardType::fileUrl, "FILEURL\r\n"},
                                           {PasteboardType::png, png},
                                           {tiffSize, "6x4"}};
    QTest::newRow("JPEG screenshot")
        << "shot.jpg"
        << QList<PasteboardRepresentation>{{PasteboardType::fileUrl, "FILEURL\r\n"},
                                           {utf8, "FILEPATH"},
                                           {PasteboardType::png, none},
                                           {PasteboardType::tiff, none},
                                           {QStringLiteral("image/jpeg"), none}};
    QTest::newRow("screenshot as file only")
        << "file only"
        << QList<PasteboardRepresentation>{{PasteboardType::fileUrl, "FILEURL\r\n"},
                                           {PasteboardType::gnomeCopiedFiles, "copy\nFILEURL"},
                                           {PasteboardType::png, none}};
}

void TestCopyBackX11::readBackByAnotherApplication() {
    QFETCH(QString, what);
    QFETCH(QList<PasteboardRepresentation>, expected);

    Fixture f;
    const QByteArray png = pngBytes(QSize(6, 4));
    // Something else on the clipboard first: no outcome may leave it there.
    auto other = ClipboardOwner::xclip(utf8, "old");
    QVERIFY(other->started());
    QCOMPARE(read(utf8), QByteArray("old"));

    ClipItem item;
    QString path;
    if (what == QLatin1String("text")) {
        item.text = QStringLiteral("héllo\nwörld");
        f.copyBack.copyToPasteboard(item);
    } else if (what == QLatin1String("rtf")) {
        item.kind = ClipKind::rtf;
        item.text = QStringLiteral("rich");
        item.rtfPath = f.file(QStringLiteral("a.rtf"), "{\\rtf1\\ansi rich}");
        f.copyBack.copyToPasteboard(item);
    } else if (what.startsWith(QLatin1String("image"))) {
        item.kind = ClipKind::image;
        item.blobPath = f.file(QStringLiteral("blob.png"), png);
        if (what.endsWith(QLatin1String("gone")))
            QFile::remove(*item.blobPath);
        f.copyBack.copyToPasteboard(item);
    } else if (what == QLatin1String("files")) {
        path = f.file(QStringLiteral("first file ä#1.txt"), "1");
        item.kind = ClipKind::file;
        item.text = path + u'\n' + f.file(QStringLiteral("second"), "2");
        item.filePath = path;
        f.copyBack.copyToPasteboard(item);
    } else if (what == QLatin1String("file only")) {
        path = f.file(QStringLiteral("Screenshot 1.png"), png);
        f.copyBack.copyFileOnly(QUrl::fromLocalFile(path));
    } else {
        path = f.file(what, png);
        f.copyBack.copyScreenshot(QUrl::fromLocalFile(path));
    }

    const QByteArray url = QUrl::fromLocalFile(path).toEncoded();
    for (auto [type, bytes] : std::as_const(expected)) {
        bytes.replace("FILEURL", url).replace("FILEPATH", path.toUtf8());
        if (type == tiffSize) {
            const QImage tiff = QImage::fromData(read(PasteboardType::tiff), "TIFF");
            QCOMPARE(QStringLiteral("%1x%2").arg(tiff.width()).arg(tiff.height()).toUtf8(), bytes);
        } else {
            QCOMPARE(read(type), bytes);
        }
    }
}

// Chosen in the panel with paste-directly on: the panel hides, and the window
// the user was in gets the focus back and Ctrl+V, and reads the item.
void TestCopyBackX11::chosenItemIsPastedIntoThePreviousWindow() {
    Fixture f;
    f.prefs.setPasteDirectly(true);
    QVERIFY(f.copyBack.isTrusted());

    QProcess probe;
    QStringList lines;
    connect(&probe, &QProcess::readyReadStandardOutput, this, [&] {
        while (probe.canReadLine())
            lines << QString::fromUtf8(probe.readLine()).trimmed();
    });
    probe.start(QStringLiteral(KEYPROBE_PATH), {QStringLiteral("Mousepad")});
    QTRY_VERIFY_WITH_TIMEOUT(!lines.filter(QStringLiteral("ready ")).isEmpty(), 10000);
    const quint32 probeWindow = lines.filter(QStringLiteral("ready ")).constFirst().mid(6).toUInt();
    QTRY_COMPARE_WITH_TIMEOUT(
        (f.copyBack.rememberFrontmostWindow(), f.keystroke.rememberedWindow()), probeWindow, 10000);

    QWidget panel;
    panel.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    panel.resize(200, 200);
    panel.show();
    panel.activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(panel.isActiveWindow(), 10000);

    ClipItem item;
    item.text = QStringLiteral("from history");
    int toasts = 0;
    f.copyBack.chooseItem(
        item, [&] { ++toasts; }, [&] { panel.hide(); });
    QCOMPARE(toasts, 1);
    QVERIFY(panel.isHidden());
    QTRY_VERIFY_WITH_TIMEOUT(lines.contains(QStringLiteral("pasted from history")), 10000);
    QCOMPARE(lines.filter(QStringLiteral("press V")).size(), 1);

    probe.kill();
    probe.waitForFinished();
}

QTEST_MAIN(TestCopyBackX11)
#include "tst_copyback_x11.moc"
