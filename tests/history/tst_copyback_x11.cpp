#include "helpers/ClipboardOwner.h"
#include "helpers/TempPrefs.h"
#include "history/ClipStore.h"
#include "history/ClipboardMonitor.h"
#include "history/CopyBack.h"
#include "platform/x11/X11FrontmostApp.h"
#include "platform/x11/X11PasteKeystroke.h"
#include "platform/x11/X11Pasteboard.h"
#include "thumbnails/ThumbnailCache.h"

#include <QFile>
#include <QKeyEvent>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QWidget>

// Copy back on the real X11 clipboard and keyboard under the harness's Xvfb,
// with xclip and a window of another process on the other side (what each kind
// of item offers is checked in tst_copyback).
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

// Stands for Quillet's panel or settings window holding the keyboard.
class OwnWindow : public QWidget {
public:
    int keys = 0;

protected:
    void keyPressEvent(QKeyEvent*) override { ++keys; }
};

const QString utf8 = QStringLiteral("UTF8_STRING");
} // namespace

class TestCopyBackX11 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void chosenItemIsPastedIntoThePreviousWindow_data();
    void chosenItemIsPastedIntoThePreviousWindow();
    void recopiedItemRefreshesItsRow();
    void terminalNames_data();
    void terminalNames();
};

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
    // Active for Qt and for the window manager (which may follow a moment later).
    const auto activeForTheServer = [&own] {
        QProcess xdotool;
        xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")});
        xdotool.waitForFinished(5000);
        return xdotool.readAllStandardOutput().trimmed().toULongLong() == own.winId();
    };
    QTRY_VERIFY_WITH_TIMEOUT(own.isActiveWindow() && activeForTheServer(), 10000);
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

// The write-back is an ordinary change for the monitor (here on a clipboard
// object of its own, as in the application): the row is refreshed, not added,
// for a list of files too (the picker's text case runs in tst_shell_x11).
void TestCopyBackX11::recopiedItemRefreshesItsRow() {
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
    const QString first = a + u'\n' + b;
    auto owner = ClipboardOwner::offer({"text/uri-list=" + QUrl::fromLocalFile(a).toString() +
                                        "\r\n" + QUrl::fromLocalFile(b).toString()});
    QVERIFY(owner->started());
    QTRY_COMPARE_WITH_TIMEOUT(texts(), QStringList{first}, 10000);
    owner = ClipboardOwner::xclip(utf8, "other");
    QVERIFY(owner->started());
    QTRY_COMPARE_WITH_TIMEOUT(texts(), (QStringList{QStringLiteral("other"), first}), 10000);
    const ClipItem again = store.items().at(1);

    QVERIFY(f.copyBack.copyToPasteboard(again));
    // File managers read the list in their own form.
    QCOMPARE(ClipboardOwner::readBack(PasteboardType::gnomeCopiedFiles),
             "copy\n" + QUrl::fromLocalFile(a).toEncoded() + '\n' +
                 QUrl::fromLocalFile(b).toEncoded());
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
