// Pasting into another application through the compositor's virtual keyboard,
// under the harness's headless sway with keyprobe as that application and a
// window of the test's own (app_id com.ovo.quillet) as Quillet's.
#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/WaylandFrontmostApp.h"
#include "platform/wayland/WaylandPasteKeystroke.h"

#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>
#include <QWidget>

#include <memory>

namespace {
// The keystroke on a connection of its own, as the platform makes it.
struct Session {
    std::unique_ptr<WaylandConnection> connection = WaylandConnection::connect();
    std::unique_ptr<WaylandFrontmostApp> frontmost =
        connection ? std::make_unique<WaylandFrontmostApp>(*connection, "com.ovo.quillet")
                   : nullptr;
    std::unique_ptr<WaylandPasteKeystroke> keystroke =
        frontmost ? std::make_unique<WaylandPasteKeystroke>(*connection, *frontmost) : nullptr;
    Session() {
        if (connection)
            connection->start();
    }
    ~Session() {
        keystroke.reset();
        frontmost.reset();
    }
    bool isFront(const QString& appId) const {
        const auto focus = frontmost->focus();
        return focus.appId == appId && focus.active;
    }
};

// keyprobe with the given app_id, and what it printed so far.
struct Probe {
    QProcess process;
    QStringList lines;
    explicit Probe(const QString& appId) {
        QObject::connect(&process, &QProcess::readyReadStandardOutput, [this] {
            while (process.canReadLine())
                lines << QString::fromUtf8(process.readLine()).trimmed();
        });
        process.start(QStringLiteral(KEYPROBE_PATH), {appId});
    }
    ~Probe() {
        process.kill();
        process.waitForFinished();
    }
    QStringList vKeys() const { return lines.filter(QRegularExpression(u"^(press|release) V"_qs)); }
};

// Stands for one of Quillet's windows; counts the keys it gets.
struct OwnWindow : QWidget {
    int keys = 0;
    OwnWindow() { resize(200, 100); }
    void keyPressEvent(QKeyEvent*) override { ++keys; }
};
} // namespace

class TestWaylandPaste : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QGuiApplication::setDesktopFileName(u"com.ovo.quillet"_qs); }
    void pastesOnceTheRememberedWindowIsBack_data();
    void pastesOnceTheRememberedWindowIsBack();
    void nothingIsTypedWhenTheWindowIsGone();
};

void TestWaylandPaste::pastesOnceTheRememberedWindowIsBack_data() {
    QTest::addColumn<QString>("appId");
    QTest::addColumn<QString>("modifiers");
    QTest::addColumn<QByteArray>("variant"); // of the session's keyboard layout
    QTest::newRow("editor") << u"org.example.Editor"_qs << u"ctrl"_qs << QByteArray();
    QTest::newRow("terminal") << u"org.gnome.Terminal"_qs << u"ctrl+shift"_qs << QByteArray();
    // V sits elsewhere: the key that types v in the user's layout is the one sent.
    QTest::newRow("dvorak") << u"org.example.Editor"_qs << u"ctrl"_qs << QByteArray("dvorak");
}

// The user was in another application, opened Quillet's window and chose an
// item: the window goes, the compositor gives the application the keyboard
// back, and only then does it get the chord, once.
void TestWaylandPaste::pastesOnceTheRememberedWindowIsBack() {
    QFETCH(QString, appId);
    QFETCH(QString, modifiers);
    QFETCH(QByteArray, variant);
    // A variant counts only with its layout.
    qputenv("XKB_DEFAULT_LAYOUT", "us");
    qputenv("XKB_DEFAULT_VARIANT", variant);
    const auto restore = qScopeGuard([] {
        qunsetenv("XKB_DEFAULT_LAYOUT");
        qunsetenv("XKB_DEFAULT_VARIANT");
    });
    Session s;
    QVERIFY(s.keystroke && s.keystroke->isAvailable());
    Probe probe(appId);
    QTRY_VERIFY_WITH_TIMEOUT(s.isFront(appId), 10000);
    s.keystroke->rememberActiveWindow();

    OwnWindow own;
    own.show();
    QTRY_VERIFY_WITH_TIMEOUT(own.isActiveWindow() && !s.frontmost->focus().active, 10000);
    s.keystroke->rememberActiveWindow(); // Quillet's own window is never the target
    // Chosen while the window is still there: the paste waits for it to go.
    s.keystroke->sendPaste();
    QVERIFY(s.keystroke->isWaiting());
    own.hide();
    const QString press = u"press V "_qs + modifiers;
    const QString release = u"release V "_qs + modifiers;
    QTRY_VERIFY_WITH_TIMEOUT(probe.lines.contains(release), 10000);

    // With the window in front already the chord goes at once; it also marks
    // the end of everything the first paste sent.
    s.keystroke->sendPaste();
    QTRY_COMPARE(probe.vKeys().size(), 4);
    QCOMPARE(probe.vKeys(), (QStringList{press, release, press, release}));
    QCOMPARE(own.keys, 0);
}

// The remembered application closes while Quillet's window has the keyboard:
// the paste is dropped, not typed into whatever has the focus.
void TestWaylandPaste::nothingIsTypedWhenTheWindowIsGone() {
    Session s;
    QVERIFY(s.keystroke && s.keystroke->isAvailable());
    auto gone = std::make_unique<Probe>(u"org.example.Editor"_qs);
    QTRY_VERIFY_WITH_TIMEOUT(s.isFront(u"org.example.Editor"_qs), 10000);
    s.keystroke->rememberActiveWindow();
    OwnWindow own;
    own.show();
    QTRY_VERIFY_WITH_TIMEOUT(own.isActiveWindow(), 10000);
    gone.reset();
    s.keystroke->sendPaste();
    QVERIFY(s.keystroke->isWaiting());
    QTRY_VERIFY(!s.keystroke->isWaiting());

    // A paste into the next application comes after anything the dropped one
    // could have sent.
    Probe next(u"org.example.Viewer"_qs);
    QTRY_VERIFY_WITH_TIMEOUT(s.isFront(u"org.example.Viewer"_qs), 10000);
    s.keystroke->rememberActiveWindow();
    s.keystroke->sendPaste();
    QTRY_VERIFY_WITH_TIMEOUT(next.lines.contains(u"release V ctrl"_qs), 10000);
    QCOMPARE(next.vKeys(), (QStringList{u"press V ctrl"_qs, u"release V ctrl"_qs}));
    QCOMPARE(own.keys, 0);
}

QTEST_MAIN(TestWaylandPaste)
#include "tst_waylandpaste.moc"
