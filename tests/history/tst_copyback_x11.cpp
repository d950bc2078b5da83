#include "helpers/ClipboardOwner.h"
#include "helpers/TempPrefs.h"
#include "history/ClipStore.h"
#include "history/ClipboardMonitor.h"
#include "history/CopyBack.h"
#include "platform/freedesktop/XdgAutostartLoginItem.h"
#include "platform/x11/X11FrontmostApp.h"
#include "platform/x11/X11PasteKeystroke.h"
#include "platform/x11/X11Pasteboard.h"
#include "settings/JsonDefaultsStore.h"
#include "settings/Prefs.h"
#include "thumbnails/ThumbnailCache.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

// Copy back on the real X11 clipboard under the harness's Xvfb; xclip reads
// it back as another application would.
namespace {
struct Fixture : TempPrefs {
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

// Stands for Quillet's panel or settings window holding the keyboard.
class OwnWindow : public QWidget {
public:
    int keys = 0;

protected:
    void keyPressEvent(QKeyEvent*) override { ++keys; }
};

const QString utf8 = QStringLiteral("UTF8_STRING");
const QString tiffSize = QStringLiteral("tiff size");
} // namespace

class TestCopyBackX11 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readBackByAnotherApplication_data();
    void readBackByAnotherApplication();
    void chosenItemIsPastedIntoThePreviousWindow_data();
    void chosenItemIsPastedIntoThePreviousWindow();
    void recopiedItemRefreshesItsRow_data();
    void recopiedItemRefreshesItsRow();
    void terminalNames_data();
    void terminalNames();
};

// Columns: what to copy, then every type another application reads, with the
// bytes it must get (empty: the type is not offered).
void TestCopyBackX11::readBackByAnotherApplication_data() {
    QTest::addColumn<QString>("what");
    QTest::addColumn<QList<PasteboardRepresentation>>("expected");
    using Reps = QList<PasteboardRepresentation>;

    const QByteArray png = pngBytes(QSize(6, 4));
    const QByteArray rtf = "{\\rtf1\\ansi rich}";
    const QByteArray none;
    const QString url = PasteboardType::fileUrl;
    const QString gnome = PasteboardType::gnomeCopiedFiles;
    QTest::newRow("text") << "text"
                          << Reps{{utf8, "h\xc3\xa9llo\nw\xc3\xb6rld"},
                                  {PasteboardType::string, "h\xc3\xa9llo\nw\xc3\xb6rld"},
                                  {PasteboardType::rtf, none}};
    QTest::newRow("rich text") << "rtf" << Reps{{utf8, "rich"}, {PasteboardType::rtf, rtf}};
    QTest::newRow("rich text, side file gone")
        << "rtf gone" << Reps{{utf8, "rich"}, {PasteboardType::rtf, none}};
    QTest::newRow("link") << "link" << Reps{{utf8, "https://example.org/a?b=1"}, {url, none}};
    QTest::newRow("image") << "image" << Reps{{PasteboardType::png, png}, {tiffSize, "6x4"}};
    QTest::newRow("image that does not decode")
        << "image corrupt"
        << Reps{{PasteboardType::png, "\x89PNG broken"}, {PasteboardType::tiff, none}};
    // A failed copy back leaves the clipboard as it was (xclip, the other
    // owner, answers every type with its text).
    QTest::newRow("image, blob gone") << "image gone" << Reps{{utf8, "old"}};
    QTest::newRow("several files") << "files"
                                   << Reps{{url, "FILEURL\r\nSECONDURL\r\n"},
                                           {gnome, "copy\nFILEURL\nSECONDURL"},
                                           {utf8, "FILEPATH\nSECONDPATH"}};
    QTest::newRow("several files, all gone") << "files gone" << Reps{{utf8, "old"}};
    QTest::newRow("file as text only") << "file text" << Reps{{utf8, "/only/text"}, {url, none}};
    QTest::newRow("file with nothing") << "file nothing" << Reps{{utf8, "old"}};
    QTest::newRow("upper-case PNG screenshot")
        << "shot.PNG" << Reps{{url, "FILEURL\r\n"}, {PasteboardType::png, png}, {tiffSize, "6x4"}};
    QTest::newRow("JPEG screenshot") << "shot.jpg"
                                     << Reps{{url, "FILEURL\r\n"},
                                             {gnome, "copy\nFILEURL"},
                                             {utf8, "FILEPATH"},
                                             {PasteboardType::png, none},
                                             {QStringLiteral("image/jpeg"), none}};
    QTest::newRow("PNG screenshot gone")
        << "gone.png" << Reps{{url, "FILEURL\r\n"}, {PasteboardType::png, none}};
    QTest::newRow("screenshot as file only")
        << "shot only" << Reps{{url, "FILEURL\r\n"}, {PasteboardType::png, none}};
}

void TestCopyBackX11::readBackByAnotherApplication() {
    QFETCH(QString, what);
    QFETCH(QList<PasteboardRepresentation>, expected);

    Fixture f;
    const QByteArray png = pngBytes(QSize(6, 4));
    // Something else on the clipboard first: only a failed copy leaves it there.
    auto other = ClipboardOwner::xclip(utf8, "old");
    QVERIFY(other->started());
    QCOMPARE(read(utf8), QByteArray("old"));

    ClipItem item;
    QString path;
    QString second;
    const auto is = [&](const char* prefix) {
        return what.startsWith(QLatin1String(prefix));
    };
    if (is("text") || is("link")) {
        item.kind = is("link") ? ClipKind::link : ClipKind::text;
        item.text = is("link") ? QStringLiteral("https://example.org/a?b=1")
                               : QStringLiteral("h\u00e9llo\nw\u00f6rld");
    } else if (is("rtf")) {
        item.kind = ClipKind::rtf;
        item.text = QStringLiteral("rich");
        item.rtfPath = f.file(QStringLiteral("a.rtf"), "{\\rtf1\\ansi rich}");
    } else if (is("image")) {
        item.kind = ClipKind::image;
        item.blobPath = f.file(QStringLiteral("blob.png"),
                               is("image corrupt") ? QByteArray("\x89PNG broken") : png);
    } else if (is("file")) {
        item.kind = ClipKind::file;
        if (is("files")) {
            path = f.file(QStringLiteral("first file \u00e4#1.txt"), "1");
            second = f.file(QStringLiteral("second"), "2");
            item.text = path + u'\n' + second;
            item.filePath = path;
        } else if (is("file text")) {
            item.text = QStringLiteral("/only/text");
        }
    } else {
        path = f.file(is("shot only") ? QStringLiteral("Shot 1.png") : what, png);
    }
    if (what.contains(QLatin1String("gone"))) {
        QFile::remove(item.rtfPath.value_or(QString()));
        QFile::remove(item.blobPath.value_or(path));
        QFile::remove(second);
    }

    if (is("shot only"))
        f.copyBack.copyFileOnly(QUrl::fromLocalFile(path));
    else if (!path.isEmpty() && !is("files"))
        f.copyBack.copyScreenshot(QUrl::fromLocalFile(path));
    else
        f.copyBack.copyToPasteboard(item);

    const QByteArray url = QUrl::fromLocalFile(path).toEncoded();
    for (auto [type, bytes] : std::as_const(expected)) {
        bytes.replace("FILEURL", url).replace("FILEPATH", path.toUtf8());
        bytes.replace("SECONDURL", QUrl::fromLocalFile(second).toEncoded())
            .replace("SECONDPATH", second.toUtf8());
        if (type == tiffSize) {
            const QImage tiff = QImage::fromData(read(PasteboardType::tiff), "TIFF");
            QCOMPARE(QStringLiteral("%1x%2").arg(tiff.width()).arg(tiff.height()).toUtf8(), bytes);
        } else {
            QCOMPARE(read(type), bytes);
        }
    }
}

void TestCopyBackX11::chosenItemIsPastedIntoThePreviousWindow_data() {
    QTest::addColumn<QString>("wmClass");
    QTest::addColumn<QString>("modifiers");
    QTest::newRow("editor") << "Mousepad"
                            << "ctrl";
    QTest::newRow("terminal") << "konsole"
                              << "ctrl+shift";
}

// Chosen with paste-directly on while another of Quillet's windows holds the
// focus: the window the user was in gets the focus back and exactly one paste
// chord, and reads the item from the clipboard.
void TestCopyBackX11::chosenItemIsPastedIntoThePreviousWindow() {
    QFETCH(QString, wmClass);
    QFETCH(QString, modifiers);
    Fixture f;
    f.prefs.setPasteDirectly(true);
    QVERIFY(f.copyBack.isTrusted());

    QProcess probe;
    QStringList lines;
    connect(&probe, &QProcess::readyReadStandardOutput, this, [&] {
        while (probe.canReadLine())
            lines << QString::fromUtf8(probe.readLine()).trimmed();
    });
    probe.start(QStringLiteral(KEYPROBE_PATH), {wmClass});
    QTRY_VERIFY_WITH_TIMEOUT(!lines.filter(QStringLiteral("ready ")).isEmpty(), 10000);
    const quint32 probeWindow = lines.filter(QStringLiteral("ready ")).constFirst().mid(6).toUInt();
    QTRY_COMPARE_WITH_TIMEOUT(
        (f.copyBack.rememberFrontmostWindow(), f.keystroke.rememberedWindow()), probeWindow, 10000);

    OwnWindow own;
    own.resize(200, 200);
    own.show();
    own.activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(own.isActiveWindow(), 10000);
    f.copyBack.rememberFrontmostWindow(); // Quillet's own windows are never the target
    QCOMPARE(f.keystroke.rememberedWindow(), probeWindow);

    ClipItem item;
    item.text = QStringLiteral("from history");
    int toasts = 0;
    int hides = 0;
    f.copyBack.chooseItem(
        item, [&] { ++toasts; }, [&] { ++hides; });
    QCOMPARE(toasts, 1);
    QCOMPARE(hides, 1);
    QTRY_VERIFY_WITH_TIMEOUT(lines.contains(QStringLiteral("pasted from history")), 10000);
    // A key typed afterwards marks the end of everything the paste sent.
    QCOMPARE(
        QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("x")}),
        0);
    QTRY_VERIFY_WITH_TIMEOUT(lines.contains(QStringLiteral("release X")), 10000);
    QCOMPARE(lines.filter(QRegularExpression(QStringLiteral("^(press|release) V"))),
             (QStringList{QStringLiteral("press V ") + modifiers,
                          QStringLiteral("release V ") + modifiers}));
    QCOMPARE(own.keys, 0);

    probe.kill();
    probe.waitForFinished();
}

void TestCopyBackX11::recopiedItemRefreshesItsRow_data() {
    QTest::addColumn<bool>("files");
    QTest::newRow("text") << false;
    QTest::newRow("several files") << true;
}

// The write-back is an ordinary change for the monitor (here on a clipboard
// object of its own, as in the application): the row is refreshed, not added.
void TestCopyBackX11::recopiedItemRefreshesItsRow() {
    QFETCH(bool, files);
    Fixture f;
    ClipStore store(f.dir.filePath(QStringLiteral("Quillet")), f.prefs);
    X11Pasteboard monitorPasteboard;
    X11FrontmostApp frontmost;
    ThumbnailCache thumbnails(f.dir.filePath(QStringLiteral("Quillet/thumbs")));
    ClipboardMonitor monitor(monitorPasteboard, frontmost, store, thumbnails, f.prefs);
    monitor.start();
    const auto texts = [&] {
        QStringList list;
        for (const ClipItem& item : store.items())
            list << item.text.value_or(QString());
        return list;
    };

    const QString a = f.file(QStringLiteral("a b.txt"), "a");
    const QString b = f.file(QStringLiteral("c"), "c");
    const QString first = files ? a + u'\n' + b : QStringLiteral("again");
    auto owner = files
                     ? ClipboardOwner::offer({"text/uri-list=" + QUrl::fromLocalFile(a).toString() +
                                              "\r\n" + QUrl::fromLocalFile(b).toString()})
                     : ClipboardOwner::xclip(utf8, "again");
    QVERIFY(owner->started());
    QTRY_COMPARE_WITH_TIMEOUT(texts(), QStringList{first}, 10000);
    owner = ClipboardOwner::xclip(utf8, "other");
    QVERIFY(owner->started());
    QTRY_COMPARE_WITH_TIMEOUT(texts(), (QStringList{QStringLiteral("other"), first}), 10000);
    const ClipItem again = store.items().at(1);

    QVERIFY(f.copyBack.copyToPasteboard(again));
    QTRY_COMPARE_WITH_TIMEOUT(texts(), (QStringList{first, QStringLiteral("other")}), 10000);
    QCOMPARE(store.items().constFirst().id, again.id);
    QVERIFY(store.items().constFirst().createdAt > again.createdAt);
}

void TestCopyBackX11::terminalNames_data() {
    QTest::addColumn<QString>("instance");
    QTest::addColumn<QString>("className");
    QTest::addColumn<bool>("terminal");
    QTest::newRow("gnome terminal") << "gnome-terminal-server"
                                    << "Gnome-terminal" << true;
    QTest::newRow("class only, other case") << ""
                                            << "XTerm" << true;
    QTest::newRow("instance only") << "kitty"
                                   << "" << true;
    QTest::newRow("browser") << "Navigator"
                             << "firefox" << false;
    QTest::newRow("name containing a terminal's") << "stterm-helper"
                                                  << "Kittycat" << false;
    QTest::newRow("nothing") << ""
                             << "" << false;
}

void TestCopyBackX11::terminalNames() {
    QFETCH(QString, instance);
    QFETCH(QString, className);
    QFETCH(bool, terminal);
    QCOMPARE(X11PasteKeystroke::isTerminal(instance, className), terminal);
}

QTEST_MAIN(TestCopyBackX11)
#include "tst_copyback_x11.moc"
