#include "helpers/TempPrefs.h"
#include "history/CopyBack.h"
#include "platform/x11/X11PasteKeystroke.h"
#include "platform/x11/X11Pasteboard.h"

#include <QKeyEvent>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QWidget>

namespace {
// Stands for Quillet's panel or settings window holding the keyboard.
class OwnWindow : public QWidget {
public:
    int keys = 0;

protected:
    void keyPressEvent(QKeyEvent*) override { ++keys; }
};
} // namespace

// Copy back on the real X11 clipboard and keyboard under the harness's Xvfb,
// pasted into a window of another process (what each kind of item offers is
// checked in tst_copyback).
class TestCopyBackX11 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void chosenItemIsPastedIntoThePreviousWindow_data() {
        QTest::addColumn<QString>("wmClass");
        QTest::addColumn<QString>("modifiers");
        QTest::newRow("editor") << "Mousepad"
                                << "ctrl";
        // Matched whatever its case; a terminal wants Shift too.
        QTest::newRow("terminal") << "Konsole"
                                  << "ctrl+shift";
    }
    void chosenItemIsPastedIntoThePreviousWindow();

    // The instance name counts as well as the class, but only a whole name.
    void terminalNames() {
        QVERIFY(X11PasteKeystroke::isTerminal(QStringLiteral("kitty"), {}));
        QVERIFY(!X11PasteKeystroke::isTerminal(QStringLiteral("stterm-helper"),
                                               QStringLiteral("Kittycat")));
        QVERIFY(!X11PasteKeystroke::isTerminal({}, {}));
    }
};

// Chosen with paste-directly on while another of Quillet's windows holds the
// focus: the window the user was in gets the focus back and exactly one paste
// chord, and reads the item from the clipboard.
void TestCopyBackX11::chosenItemIsPastedIntoThePreviousWindow() {
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
    copyBack.rememberFrontmostWindow(); // Quillet's own windows are never the target
    QCOMPARE(keystroke.rememberedWindow(), probeWindow);

    ClipItem item;
    item.text = QStringLiteral("from history");
    int toasts = 0;
    int hides = 0;
    copyBack.chooseItem(
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

QTEST_MAIN(TestCopyBackX11)
#include "tst_copyback_x11.moc"
