#include "helpers/Offer.h"
#include "helpers/TempPrefs.h"
#include "helpers/TestImages.h"
#include "history/CopyBack.h"
#include "platform/PasteKeystroke.h"
#include "platform/null/MemoryPasteboard.h"
#include "platform/x11/X11PasteKeystroke.h"
#include "platform/x11/X11Pasteboard.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace {
using Log = QStringList;
using Reps = OfferFormats;
const QString tiffSize = QStringLiteral("tiff size");

// The order of hiding, writing and pasting cannot be seen on the real clipboard
// and keyboard, so these log it; the paste itself runs on the real ones below.
class RecordingPasteboard : public MemoryPasteboard {
public:
    explicit RecordingPasteboard(Log& log)
        : m_log(log) {}
    void setMimeData(std::unique_ptr<QMimeData> mime) override {
        m_log << QStringLiteral("write");
        MemoryPasteboard::setMimeData(std::move(mime));
    }
    Log& m_log;
};

class RecordingKeystroke : public PasteKeystroke {
public:
    explicit RecordingKeystroke(Log& log)
        : m_log(log) {}
    bool isAvailable() const override { return available; }
    void rememberActiveWindow() override {}
    void sendPaste() override { m_log << QStringLiteral("paste"); }
    bool available = true;
    Log& m_log;
};

struct Fixture : TempPrefs {
    Log log;
    RecordingPasteboard pasteboard{log};
    RecordingKeystroke keystroke{log};
    CopyBack copyBack{pasteboard, keystroke, prefs};

    std::function<void()> logs(const QString& what) {
        return [this, what] {
            log << what;
        };
    }
    // Waits until any paste scheduled before now would have run, marking the log.
    bool waitPastPasteDelay() {
        QTimer::singleShot(CopyBack::pasteDelayMs + 50, [this] { log << QStringLiteral("mark"); });
        return QTest::qWaitFor([this] { return log.contains(QStringLiteral("mark")); }, 5000);
    }
};
} // namespace

class TestCopyBack : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void offered_data();
    void offered();
    void choosing_data() {
        QTest::addColumn<bool>("picker");
        QTest::addColumn<bool>("pasteDirectly");
        QTest::addColumn<bool>("trusted");
        QTest::addColumn<Log>("expected");
        // The panel stays unless it pastes; the picker closes either way, before the copy.
        QTest::newRow("panel, copy") << false << false << true << Log{"write", "toast", "mark"};
        QTest::newRow("panel, paste")
            << false << true << true << Log{"write", "toast", "hide", "paste", "mark"};
        // Without the right to send keys: still copied and hidden; only the keys are missing.
        QTest::newRow("panel, paste, no trust")
            << false << true << false << Log{"write", "toast", "hide", "mark"};
        QTest::newRow("picker, paste")
            << true << true << true << Log{"hide", "write", "paste", "mark"};
    }
    void choosing();
    void goneItemLeavesClipboardAlone();
    void chosenItemIsPastedIntoThePreviousWindow_data() {
        QTest::addColumn<QString>("wmClass");
        QTest::addColumn<QString>("modifiers");
        QTest::newRow("editor") << u"Mousepad"_qs << u"ctrl"_qs;
        // Matched whatever its case; a terminal wants Shift too.
        QTest::newRow("terminal") << u"Konsole"_qs << u"ctrl+shift"_qs;
    }
    void chosenItemIsPastedIntoThePreviousWindow();
};

// What each kind of item offers, type by type (empty: not offered); DIR is the
// test's folder, holding every file named here except the gone ones.
void TestCopyBack::offered_data() {
    QTest::addColumn<QString>("call"); // item, screenshot or file only
    QTest::addColumn<ClipItem>("item");
    QTest::addColumn<Reps>("expected");
    const auto item = [](ClipKind kind, const char* text, const char* side = nullptr) {
        ClipItem i;
        i.kind = kind;
        if (text)
            i.text = QString::fromUtf8(text);
        std::optional<QString>& path = kind == ClipKind::rtf     ? i.rtfPath
                                       : kind == ClipKind::image ? i.blobPath
                                                                 : i.filePath;
        if (side)
            path = QString::fromUtf8(side);
        return i;
    };
    const QString url = PasteboardType::fileUrl;
    const QString gnome = PasteboardType::gnomeCopiedFiles;
    const QString text = PasteboardType::string;
    const QString png = PasteboardType::png;
    const QByteArray none;
    QTest::newRow("rich text") << "item" << item(ClipKind::rtf, "rich", "DIR/a.rtf")
                               << Reps{{text, "rich"}, {PasteboardType::rtf, "{\\rtf1 rich}"}};
    QTest::newRow("rich text, side file gone")
        << "item" << item(ClipKind::rtf, "rich", "DIR/gone.rtf")
        << Reps{{text, "rich"}, {PasteboardType::rtf, none}};
    QTest::newRow("image") << "item" << item(ClipKind::image, nullptr, "DIR/a.png")
                           << Reps{{png, "PNG"}, {tiffSize, "6x4"}};
    QTest::newRow("several files")
        << "item"
        << item(ClipKind::file, "DIR/first \u00e4#1.txt\nDIR/second.txt", "DIR/first \u00e4#1.txt")
        << Reps{{url, "file://DIR/first%20%C3%A4%231.txt\r\nfile://DIR/second.txt\r\n"},
                {gnome, "copy\nfile://DIR/first%20%C3%A4%231.txt\nfile://DIR/second.txt"},
                {text, "DIR/first \xc3\xa4#1.txt\nDIR/second.txt"}};
    QTest::newRow("file as text only")
        << "item" << item(ClipKind::file, "/only/text") << Reps{{text, "/only/text"}, {url, none}};
    QTest::newRow("upper-case PNG screenshot")
        << "screenshot" << item(ClipKind::file, nullptr, "DIR/shot.PNG")
        << Reps{{url, "file://DIR/shot.PNG\r\n"}, {png, "PNG"}, {tiffSize, "6x4"}};
    QTest::newRow("JPEG screenshot")
        << "screenshot" << item(ClipKind::file, nullptr, "DIR/shot.jpg")
        << Reps{{url, "file://DIR/shot.jpg\r\n"},
                {gnome, "copy\nfile://DIR/shot.jpg"},
                {text, "DIR/shot.jpg"},
                {png, none}};
    QTest::newRow("screenshot as file only")
        << "file only" << item(ClipKind::file, nullptr, "DIR/Shot 1.png")
        << Reps{{url, "file://DIR/Shot%201.png\r\n"}, {png, none}};
}

void TestCopyBack::offered() {
    QFETCH(QString, call);
    QFETCH(ClipItem, item);
    QFETCH(Reps, expected);
    Fixture f;
    const QString dir = f.dir.path();
    const QByteArray png = TestImages::png(6, 4);
    for (const char* name : {"a.rtf", "a.png", "shot.PNG", "shot.jpg", "Shot 1.png",
                             "first \u00e4#1.txt", "second.txt"}) {
        QFile file(f.dir.filePath(QString::fromUtf8(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(name).endsWith(".rtf") ? QByteArray("{\\rtf1 rich}") : png);
    }
    for (auto* field : {&item.text, &item.rtfPath, &item.blobPath, &item.filePath}) {
        if (*field)
            (*field)->replace(QStringLiteral("DIR"), dir);
    }
    f.pasteboard.setMimeData(offer({{PasteboardType::string, "old"}}));
    if (call == QLatin1String("item"))
        f.copyBack.copyToPasteboard(item);
    else if (call == QLatin1String("screenshot"))
        f.copyBack.copyScreenshot(QUrl::fromLocalFile(*item.filePath));
    else
        f.copyBack.copyFileOnly(QUrl::fromLocalFile(*item.filePath));

    for (auto [type, bytes] : std::as_const(expected)) {
        bytes.replace("DIR", QFile::encodeName(dir));
        const QByteArray offered = f.pasteboard.data(type == tiffSize ? PasteboardType::tiff : type)
                                       .value_or(QByteArray());
        if (type == tiffSize) {
            const QImage tiff = QImage::fromData(offered, "TIFF");
            QCOMPARE(QStringLiteral("%1x%2").arg(tiff.width()).arg(tiff.height()).toUtf8(), bytes);
        } else {
            QCOMPARE(offered, bytes == "PNG" ? png : bytes);
        }
    }
}

void TestCopyBack::choosing() {
    QFETCH(bool, picker);
    QFETCH(bool, pasteDirectly);
    QFETCH(bool, trusted);
    QFETCH(Log, expected);
    Fixture f;
    f.prefs.setPasteDirectly(pasteDirectly);
    f.keystroke.available = trusted;
    const ClipItem item{.text = u"x"_qs};
    if (picker)
        f.copyBack.pickItem(item, f.logs(QStringLiteral("hide")));
    else
        f.copyBack.chooseItem(item, f.logs(QStringLiteral("toast")),
                              f.logs(QStringLiteral("hide")));
    QVERIFY(f.waitPastPasteDelay());
    QCOMPARE(f.log, expected);
    QCOMPARE(f.pasteboard.types(),
             (QStringList{PasteboardType::string, PasteboardType::plainText}));
    if (!expected.contains(QStringLiteral("paste")))
        return;
    // Two quick choices paste twice.
    f.copyBack.chooseItem(item, {}, {});
    f.copyBack.chooseItem(item, {}, {});
    QTRY_COMPARE_WITH_TIMEOUT(f.log.count(QStringLiteral("paste")), 3, 5000);
}

// An item whose file is gone: the clipboard is kept, the user told, nothing pasted.
void TestCopyBack::goneItemLeavesClipboardAlone() {
    Fixture f;
    f.prefs.setPasteDirectly(true);
    QSignalSpy failed(&f.copyBack, &CopyBack::copyFailed);
    const ClipItem image{.kind = ClipKind::image, .blobPath = f.dir.filePath(u"gone.png"_qs)};
    const ClipItem files{.kind = ClipKind::file,
                         .text = f.dir.filePath(u"gone.txt"_qs) + u"\n/also/gone"_qs,
                         .filePath = f.dir.filePath(u"gone.txt"_qs)};

    f.copyBack.chooseItem(image, f.logs(QStringLiteral("toast")), f.logs(QStringLiteral("hide")));
    f.copyBack.pickItem(files, f.logs(QStringLiteral("hide")));
    // The quick picker copies and pastes through two separate calls.
    QVERIFY(!f.copyBack.copyToPasteboard(image));
    f.copyBack.pasteToFrontmostApp();
    QVERIFY(f.waitPastPasteDelay());
    QCOMPARE(f.log, (Log{"hide", "mark"}));
    QCOMPARE(failed.count(), 3);

    // Outside an X11 session the real keystroke has no trust and ignores requests.
    qputenv("XDG_SESSION_TYPE", "wayland");
    X11PasteKeystroke keystroke;
    qunsetenv("XDG_SESSION_TYPE");
    QVERIFY(!keystroke.isAvailable());
    keystroke.rememberActiveWindow();
    keystroke.sendPaste();
    QCOMPARE(keystroke.rememberedWindow(), 0u);
}

// Pasted directly while another of Quillet's windows has the focus: the window the
// user was in gets it back, exactly one paste chord, and the item.
void TestCopyBack::chosenItemIsPastedIntoThePreviousWindow() {
    QFETCH(QString, wmClass);
    QFETCH(QString, modifiers);
    TempPrefs f;
    X11Pasteboard pasteboard;
    X11PasteKeystroke keystroke;
    CopyBack copyBack{pasteboard, keystroke, f.prefs};
    f.prefs.setPasteDirectly(true);
    QVERIFY(copyBack.isTrusted());

    QProcess probe;
    QStringList lines;
    connect(&probe, &QProcess::readyReadStandardOutput, this, [&] {
        while (probe.canReadLine())
            lines << QString::fromUtf8(probe.readLine()).trimmed();
    });
    probe.start(QStringLiteral(KEYPROBE_PATH), {wmClass});
    QTRY_VERIFY_WITH_TIMEOUT(!lines.filter(QStringLiteral("ready ")).isEmpty(), 10000);
    const quint32 probeWindow = lines.filter(QStringLiteral("ready ")).constFirst().mid(6).toUInt();
    QTRY_COMPARE_WITH_TIMEOUT((copyBack.rememberFrontmostWindow(), keystroke.rememberedWindow()),
                              probeWindow, 10000);

    QWidget own; // stands for Quillet's panel or settings window
    own.resize(200, 200);
    own.show();
    own.activateWindow();
    // Active for Qt and for the window manager (which may follow a moment later).
    const auto activeForTheServer = [&own] {
        QProcess xdotool;
        xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")});
        xdotool.waitForFinished(5000);
        return xdotool.readAllStandardOutput().trimmed().toULongLong() == own.winId();
    };
    QTRY_VERIFY_WITH_TIMEOUT(own.isActiveWindow() && activeForTheServer(), 10000);
    copyBack.rememberFrontmostWindow(); // Quillet's own windows are never the target
    QCOMPARE(keystroke.rememberedWindow(), probeWindow);

    copyBack.chooseItem({.text = u"from history"_qs}, {}, {});
    QTRY_VERIFY_WITH_TIMEOUT(lines.contains(QStringLiteral("pasted from history")), 10000);
    // A key typed afterwards marks the end of everything the paste sent.
    QCOMPARE(
        QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("x")}),
        0);
    QTRY_VERIFY_WITH_TIMEOUT(lines.contains(QStringLiteral("release X")), 10000);
    QCOMPARE(lines.filter(QRegularExpression(QStringLiteral("^(press|release) V"))),
             (QStringList{QStringLiteral("press V ") + modifiers,
                          QStringLiteral("release V ") + modifiers}));

    probe.kill();
    probe.waitForFinished();
}

QTEST_MAIN(TestCopyBack)
#include "tst_copyback.moc"
