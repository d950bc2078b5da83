#include "app/AppDelegate.h"
#include "app/AppServices.h"
#include "helpers/ClipboardOwner.h"
#include "history/ClipStore.h"
#include "history/CopyBack.h"
#include "history/SqliteDatabase.h"
#include "history/SqliteStatement.h"
#include "settings/Prefs.h"
#include "ui/picker/QuickPicker.h"
#include "ui/picker/QuickPickerModel.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>

#include <memory>

// The shell on a real X server: the global shortcut pressed with xdotool
// (XTEST, as a keyboard would), the clipboard read back by xclip, and the
// paste received by a window of another process.
namespace {
QString xdotool(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

void key(const QString& keys) {
    xdotool({QStringLiteral("key"), keys});
}

// The window the X server sends key presses to.
bool hasKeyboard(QWidget& window) {
    return xdotool({QStringLiteral("getwindowfocus")}) == QString::number(window.winId());
}

QString clipboardText() {
    return QString::fromUtf8(ClipboardOwner::readBack(QStringLiteral("UTF8_STRING")));
}
} // namespace

class TestShellX11 : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void shortcutTogglesPickerAtPointer();
    void pickReachesClipboardAndWindowInFront();

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
    xdotool({"mousemove", "600", "400"});
    QTRY_COMPARE(QCursor::pos(), QPoint(600, 400));

    key("super+shift+v");
    QTRY_VERIFY_WITH_TIMEOUT(picker.isVisible(), 5000);
    QTRY_COMPARE(picker.frameGeometry().topLeft(), QPoint(610, 410));
    QTRY_VERIFY_WITH_TIMEOUT(hasKeyboard(picker), 5000);

    // Pressed again while the picker has the keyboard: the grab still wins.
    key("super+shift+v");
    QTRY_VERIFY_WITH_TIMEOUT(!picker.isVisible(), 5000);

    // Used before, it takes the keyboard again, for the server and for Qt.
    key("super+shift+v");
    QTRY_VERIFY_WITH_TIMEOUT(hasKeyboard(picker), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(picker.isActiveWindow(), 5000);
    key("Escape");
    QTRY_VERIFY_WITH_TIMEOUT(!picker.isVisible(), 5000);
}

void TestShellX11::pickReachesClipboardAndWindowInFront() {
    QuickPicker& picker = m_delegate->quickPicker();
    const auto open = [&picker] {
        key("super+shift+v");
        QTRY_VERIFY_WITH_TIMEOUT(picker.isActiveWindow() && hasKeyboard(picker), 5000);
    };
    open();
    key("2");
    QTRY_VERIFY_WITH_TIMEOUT(!picker.isVisible(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(clipboardText(), QString("middle clip"), 10000);

    // Another application's window; what it prints is collected in out.
    QProcess probe;
    auto stop = qScopeGuard([&probe] {
        probe.kill();
        probe.waitForFinished();
    });
    probe.start(QStringLiteral(KEYPROBE_PATH), {QStringLiteral("Keyprobe")});
    QByteArray out;
    QTRY_VERIFY_WITH_TIMEOUT((out += probe.readAllStandardOutput()).contains("ready"), 10000);
    const QString probeWindow =
        xdotool({"search", "--sync", "--name", "^keyprobe$"}).split('\n').first();
    QVERIFY(!probeWindow.isEmpty());

    // A click on it takes the keyboard away: the picker hides without copying.
    xdotool({"mousemove", "300", "300"});
    open();
    xdotool({"mousemove", "--window", probeWindow, "50", "50", "click", "1"});
    QTRY_VERIFY_WITH_TIMEOUT(!picker.isVisible(), 5000);
    QCOMPARE(clipboardText(), QString("middle clip"));

    // Pasting directly, the pick goes to the window in front when the shortcut was pressed.
    xdotool({"windowactivate", "--sync", probeWindow});
    m_services->prefs().setPasteDirectly(true);
    xdotool({"mousemove", "700", "500"});
    open();
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
}

QTEST_MAIN(TestShellX11)
#include "tst_shell_x11.moc"
