#include "app/AppDelegate.h"
#include "app/AppServices.h"
#include "history/ClipStore.h"
#include "history/CopyBack.h"
#include "history/SqliteDatabase.h"
#include "history/SqliteStatement.h"
#include "settings/Prefs.h"
#include "ui/picker/QuickPicker.h"
#include "ui/picker/QuickPickerModel.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDateTime>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

#include <memory>

// The shell on a real X server: the global shortcut pressed with xdotool
// (XTEST, as a keyboard would), the clipboard read back by xclip, and the
// paste received by a window of another process.
namespace {
// Runs a tool without blocking the event loop: xclip asks this process for
// the clipboard, so waiting synchronously would deadlock.
QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted(5000))
        return QStringLiteral("<not started>");
    QElapsedTimer t;
    t.start();
    while (p.state() != QProcess::NotRunning && t.elapsed() < 10000)
        QTest::qWait(10);
    return QString::fromUtf8(p.readAllStandardOutput());
}

void key(const QString& keys) {
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), keys});
}

// The window the X server sends key presses to.
bool hasKeyboard(QWidget& window) {
    return run(QStringLiteral("xdotool"), {QStringLiteral("getwindowfocus")}).trimmed() ==
           QString::number(window.winId());
}

QString clipboardText() {
    return run(QStringLiteral("xclip"),
               {QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard")});
}

// Starts the key probe, another application's window, and returns its X
// window once it is mapped; what it prints is collected in out.
QString startProbe(QProcess& probe, QByteArray& out) {
    probe.start(QStringLiteral(KEYPROBE_PATH), {QStringLiteral("Keyprobe")});
    if (!QTest::qWaitFor([&] { return (out += probe.readAllStandardOutput()).contains("ready"); },
                         10000))
        return {};
    return run("xdotool", {"search", "--sync", "--name", "^keyprobe$"}).split('\n').first();
}
} // namespace

class TestShellX11 : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void shortcutTogglesPickerAtPointer();
    void digitCopiesToRealClipboard();
    void clickElsewhereHidesWithoutCopying();
    void pasteDirectlyReachesOtherWindow();
    void secondStartShowsFirstPanel();

private:
    std::unique_ptr<AppServices> m_services;
    std::unique_ptr<AppDelegate> m_delegate;
};

void TestShellX11::initTestCase() {
    // Three clips of known age, written as an earlier session would have.
    {
        AppOptions earlier;
        earlier.platform = QStringLiteral("null");
        AppServices schema(earlier);
        schema.prefs().setMaxDays(100000);
        SqliteDatabase db;
        QVERIFY(db.open(schema.store().databasePath()));
        const double now = QDateTime::currentMSecsSinceEpoch() / 1000.0;
        int age = 3;
        for (const char* text : {"oldest clip", "middle clip", "newest clip"}) {
            SqliteStatement ins = db.prepare(QStringLiteral(
                "INSERT INTO items(hash,kind,text,created_at) VALUES(?,'text',?,?)"));
            ins.bindText(1, QString::fromLatin1(text));
            ins.bindText(2, QString::fromLatin1(text));
            ins.bindDouble(3, now - 60 * age--);
            ins.step();
        }
    }
    m_services = std::make_unique<AppServices>();
    QCOMPARE(m_services->platform().name, QStringLiteral("x11"));
    m_delegate = std::make_unique<AppDelegate>(*m_services);
    m_delegate->applicationDidFinishLaunching();
    QCOMPARE(m_services->store().items().size(), 3);
}

void TestShellX11::shortcutTogglesPickerAtPointer() {
    QuickPicker& picker = m_delegate->quickPicker();
    QProcess::execute("xdotool", {"mousemove", "600", "400"});
    QTRY_COMPARE(QCursor::pos(), QPoint(600, 400));

    key("super+shift+v");
    QTRY_VERIFY_WITH_TIMEOUT(picker.isVisible(), 5000);
    QTRY_COMPARE(picker.frameGeometry().topLeft(), QPoint(610, 410));
    QTRY_VERIFY_WITH_TIMEOUT(hasKeyboard(picker), 5000);

    // Pressed again while the picker has the keyboard: the grab still wins.
    key("super+shift+v");
    QTRY_VERIFY_WITH_TIMEOUT(!picker.isVisible(), 5000);

    // Near the bottom right corner it opens above and left of the pointer.
    QProcess::execute("xdotool", {"mousemove", "1900", "1070"});
    QTRY_COMPARE(QCursor::pos(), QPoint(1900, 1070));
    key("super+shift+v");
    QTRY_VERIFY_WITH_TIMEOUT(picker.isVisible(), 5000);
    QTRY_COMPARE(picker.frameGeometry().topLeft(),
                 QPoint(1920 - picker.width() - 8, 1070 - 10 - picker.height()));
    // Used before, it takes the keyboard again, for the server and for Qt.
    QTRY_VERIFY_WITH_TIMEOUT(hasKeyboard(picker), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(picker.isActiveWindow(), 5000);
    key("Escape");
    QTRY_VERIFY_WITH_TIMEOUT(!picker.isVisible(), 5000);
}

void TestShellX11::digitCopiesToRealClipboard() {
    QuickPicker& picker = m_delegate->quickPicker();
    m_services->prefs().setPasteDirectly(false);
    key("super+shift+v");
    QTRY_VERIFY_WITH_TIMEOUT(picker.isVisible() && hasKeyboard(picker), 5000);
    key("2");
    QTRY_VERIFY_WITH_TIMEOUT(!picker.isVisible(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(clipboardText(), QString("middle clip"), 10000);
}

void TestShellX11::clickElsewhereHidesWithoutCopying() {
    QuickPicker& picker = m_delegate->quickPicker();
    QProcess probe;
    QByteArray out;
    const QString probeWindow = startProbe(probe, out);
    QVERIFY(!probeWindow.isEmpty());

    QProcess::execute("xdotool", {"mousemove", "300", "300"});
    key("super+shift+v");
    QTRY_VERIFY_WITH_TIMEOUT(picker.isVisible() && hasKeyboard(picker), 5000);
    const QString before = clipboardText();
    // A click on the other application's window takes the keyboard away.
    QProcess::execute("xdotool", {"mousemove", "--window", probeWindow, "50", "50", "click", "1"});
    QTRY_VERIFY_WITH_TIMEOUT(!picker.isVisible(), 5000);
    QCOMPARE(clipboardText(), before);
    probe.kill();
    probe.waitForFinished();
}

void TestShellX11::pasteDirectlyReachesOtherWindow() {
    QuickPicker& picker = m_delegate->quickPicker();
    QProcess probe;
    QByteArray out;
    // The new window is the one in front when the shortcut is pressed.
    const QString probeWindow = startProbe(probe, out);
    QVERIFY(!probeWindow.isEmpty());
    QProcess::execute("xdotool", {"windowactivate", "--sync", probeWindow});

    m_services->prefs().setPasteDirectly(true);
    QProcess::execute("xdotool", {"mousemove", "700", "500"});
    key("super+shift+v");
    QTRY_VERIFY_WITH_TIMEOUT(picker.isVisible() && hasKeyboard(picker), 5000);
    out.clear();
    probe.readAllStandardOutput();

    // Copying "middle clip" back earlier made it the newest: the monitor saw the write.
    const QString first = picker.model().items().first().text.value_or(QString());
    QCOMPARE(first, QString("middle clip"));
    QElapsedTimer sincePick;
    sincePick.start();
    key("1");
    QTRY_VERIFY_WITH_TIMEOUT(!picker.isVisible(), 5000);
    QTRY_VERIFY2_WITH_TIMEOUT(
        (out += probe.readAllStandardOutput()).contains("pasted " + first.toUtf8()),
        out.constData(), 10000);
    // Not before the delay that lets the window in front take the keyboard back.
    QVERIFY2(sincePick.elapsed() >= CopyBack::pasteDelayMs,
             qPrintable(QString::number(sincePick.elapsed())));
    QVERIFY2(out.contains("press V ctrl"), out.constData());
    m_services->prefs().setPasteDirectly(false);
    probe.kill();
    probe.waitForFinished();
}

void TestShellX11::secondStartShowsFirstPanel() {
    // The real program, twice, on this test's session bus. This process does
    // not own the name: only main() claims it.
    const QString quillet = qEnvironmentVariable("QUILLET_BUILD_DIR") + "/src/app/quillet";
    QProcess first;
    first.start(quillet, {});
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    QTRY_VERIFY_WITH_TIMEOUT(bus->isServiceRegistered("com.ovo.quillet"), 10000);
    const QString pid = QString::number(first.processId());
    QCOMPARE(run("xdotool", {"search", "--onlyvisible", "--pid", pid}).trimmed(), QString());

    QProcess second;
    second.start(quillet, {});
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(first.state(), QProcess::Running);
    // The first one's panel came up.
    QTRY_VERIFY_WITH_TIMEOUT(
        !run("xdotool", {"search", "--onlyvisible", "--pid", pid}).trimmed().isEmpty(), 10000);
    first.terminate();
    QVERIFY(first.waitForFinished(10000));
}

QTEST_MAIN(TestShellX11)
#include "tst_shell_x11.moc"
