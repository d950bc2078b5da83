#include "platform/x11/X11PasteKeystroke.h"

#include <QApplication>
#include <QKeyEvent>
#include <QProcess>
#include <QTest>
#include <QWidget>

namespace {
// A window of another application that reports every key it receives.
struct KeyProbe {
    QProcess process;
    QStringList lines;
    quint32 window = 0;

    explicit KeyProbe(const QString& wmClass) {
        QObject::connect(&process, &QProcess::readyReadStandardOutput, [this] {
            while (process.canReadLine())
                lines << QString::fromUtf8(process.readLine()).trimmed();
        });
        process.start(QStringLiteral(KEYPROBE_PATH), {wmClass});
    }
    ~KeyProbe() {
        process.kill();
        process.waitForFinished();
    }
    bool ready() {
        for (const QString& line : std::as_const(lines)) {
            if (line.startsWith(QLatin1String("ready ")))
                window = line.mid(6).toUInt();
        }
        return window != 0;
    }
};

// Stands for Quillet's panel: it holds the keyboard while open.
class OwnWindow : public QWidget {
public:
    int keys = 0;

protected:
    void keyPressEvent(QKeyEvent*) override { ++keys; }
};
} // namespace

class TestPasteKeystroke : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pastesIntoThePreviousWindow_data();
    void pastesIntoThePreviousWindow();
    void terminalNames_data();
    void terminalNames();
};

void TestPasteKeystroke::pastesIntoThePreviousWindow_data() {
    QTest::addColumn<QString>("wmClass");
    QTest::addColumn<QString>("modifiers");
    QTest::newRow("editor") << "Gedit"
                            << "ctrl";
    QTest::newRow("terminal") << "konsole"
                              << "ctrl+shift";
}

// The chord reaches the window that was active before Quillet's own window
// took focus, exactly once, although Quillet's window is still in front.
void TestPasteKeystroke::pastesIntoThePreviousWindow() {
    QFETCH(QString, wmClass);
    QFETCH(QString, modifiers);

    X11PasteKeystroke keystroke;
    QVERIFY(keystroke.isAvailable());
    KeyProbe probe(wmClass);
    QTRY_VERIFY_WITH_TIMEOUT(probe.ready(), 10000);
    QTRY_COMPARE_WITH_TIMEOUT((keystroke.rememberActiveWindow(), keystroke.rememberedWindow()),
                              probe.window, 10000);

    OwnWindow own;
    own.resize(100, 100);
    own.show();
    own.activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(own.isActiveWindow(), 10000);
    keystroke.rememberActiveWindow(); // Quillet's own window is never the target
    QCOMPARE(keystroke.rememberedWindow(), probe.window);

    keystroke.sendPaste();
    QTRY_VERIFY_WITH_TIMEOUT(probe.lines.contains(QStringLiteral("release V ") + modifiers), 10000);
    // A key typed afterwards marks the end of everything the paste sent.
    QCOMPARE(
        QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("x")}),
        0);
    QTRY_VERIFY_WITH_TIMEOUT(probe.lines.contains(QStringLiteral("release X")), 10000);
    QCOMPARE(probe.lines.filter(QRegularExpression(QStringLiteral("^press V"))),
             QStringList{QStringLiteral("press V ") + modifiers});
    QCOMPARE(probe.lines.filter(QRegularExpression(QStringLiteral("^release V"))),
             QStringList{QStringLiteral("release V ") + modifiers});
    QCOMPARE(own.keys, 0);
}

void TestPasteKeystroke::terminalNames_data() {
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

void TestPasteKeystroke::terminalNames() {
    QFETCH(QString, instance);
    QFETCH(QString, className);
    QFETCH(bool, terminal);
    QCOMPARE(X11PasteKeystroke::isTerminal(instance, className), terminal);
}

QTEST_MAIN(TestPasteKeystroke)
#include "tst_pastekeystroke.moc"
