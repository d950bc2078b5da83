#include "app/DebugChannel.h"
#include "app/DebugTarget.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <sys/stat.h>
#include <unistd.h>

namespace {
// Records what the channel asks of the application; the real shell is
// covered by the end-to-end suite, this pins the command table itself.
class RecordingTarget : public DebugTarget {
public:
    QStringList calls;
    QWidget panel;
    QWidget picker;
    DebugState current;

    void showPanel(const QString& tab) override {
        calls << QStringLiteral("showPanel(%1)").arg(tab);
    }
    void hidePanel() override { calls << QStringLiteral("hidePanel"); }
    QWidget* panelWindow() override { return &panel; }
    void showQuickPicker() override { calls << QStringLiteral("showQuick"); }
    void hideQuickPicker() override { calls << QStringLiteral("hideQuick"); }
    QWidget* quickPickerWindow() override { return &picker; }
    void showSettings() override { calls << QStringLiteral("showSettings"); }
    QWidget* settingsWindow() override { return nullptr; }
    void toggleLaunchAtLogin() override { calls << QStringLiteral("toggleLogin"); }
    void restore(qint64 id) override { calls << QStringLiteral("restore(%1)").arg(id); }
    DebugState state() override { return current; }
};

mode_t modeOf(const QString& path) {
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st.st_mode;
}
} // namespace

class TestDebugChannel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void commandTable_data();
    void commandTable();
    void commandsArriveOverTheSessionBus();
    void stateFileIsPrivateSortedAndCut();
    void stateFileRefusesLinksAndForeignFiles();
    void picturesOnlyIntoRegularFiles();
};

void TestDebugChannel::commandTable_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("calls");
    QTest::newRow("openPanel") << "openPanel" << QStringList{"showPanel(clipboard)"};
    QTest::newRow("openPanelScreens is not openPanel")
        << "openPanelScreens" << QStringList{"showPanel(screenshots)"};
    // openQuick, closeQuick and closePanel arrive over the bus below.
    QTest::newRow("toggle login") << "toggleLaunchAtLogin" << QStringList{"toggleLogin"};
    QTest::newRow("snapshot keeps tab")
        << "snapshot:/nonexistent/x.png" << QStringList{"showPanel()"};
    QTest::newRow("restore big id")
        << "restore:9007199254740993" << QStringList{"restore(9007199254740993)"};
    QTest::newRow("restore letters") << "restore:abc" << QStringList{};
    QTest::newRow("restore spaced") << "restore: 4" << QStringList{};
    QTest::newRow("case matters") << "OPENPANEL" << QStringList{};
    QTest::newRow("openPanel with suffix") << "openPanelX" << QStringList{};
}

void TestDebugChannel::commandTable() {
    QFETCH(QString, command);
    QFETCH(QStringList, calls);
    RecordingTarget target;
    DebugChannel channel(target);
    QTemporaryDir dir;
    channel.setStatePath(dir.filePath(QStringLiteral("state.json")));
    channel.dispatch(command);
    QCOMPARE(target.calls, calls);
    QVERIFY(!QFile::exists(channel.statePath()));
}

void TestDebugChannel::commandsArriveOverTheSessionBus() {
    RecordingTarget target;
    DebugChannel channel(target);
    QVERIFY(channel.install());
    QVERIFY(QDBusConnection::sessionBus().registerService(QStringLiteral("com.ovo.quillet")));
    QCOMPARE(DebugChannel::send(QStringLiteral("openQuick")), DebugChannel::SendResult::delivered);
    QTRY_COMPARE(target.calls, QStringList{QStringLiteral("showQuick")});

    // The command may also come as the "cmd" entry of a dictionary.
    QDBusMessage dict =
        QDBusMessage::createSignal(QStringLiteral("/com/ovo/quillet"),
                                   QStringLiteral("com.ovo.quillet"), QStringLiteral("debug"));
    QVariantMap map;
    map.insert(QStringLiteral("cmd"), QStringLiteral("closePanel"));
    dict << map;
    QVERIFY(QDBusConnection::sessionBus().send(dict));
    // A signal whose argument is neither does nothing; the one after it still arrives.
    QDBusMessage number =
        QDBusMessage::createSignal(QStringLiteral("/com/ovo/quillet"),
                                   QStringLiteral("com.ovo.quillet"), QStringLiteral("debug"));
    number << 7;
    QVERIFY(QDBusConnection::sessionBus().send(number));
    QCOMPARE(DebugChannel::send(QStringLiteral("closeQuick")), DebugChannel::SendResult::delivered);
    QTRY_COMPARE(target.calls,
                 (QStringList{QStringLiteral("showQuick"), QStringLiteral("hidePanel"),
                              QStringLiteral("hideQuick")}));
}

void TestDebugChannel::stateFileIsPrivateSortedAndCut() {
    RecordingTarget target;
    target.current.tab = QStringLiteral("clipboard");
    // 79 letters, then a flag made of two code points: the cut keeps it whole.
    target.current.latestClipText =
        QString(79, u'a') + QStringLiteral("\U0001F1E9\U0001F1EA") + u'z';
    DebugChannel channel(target);
    QTemporaryDir dir;
    channel.setStatePath(dir.filePath(QStringLiteral("state.json")));
    channel.dispatch(QStringLiteral("state"));

    QFile f(channel.statePath());
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    const QJsonObject o = QJsonDocument::fromJson(bytes).object();
    QCOMPARE(o.keys(),
             (QStringList{"clipItemCount", "hotkey", "latestClipKind", "latestClipSource",
                          "latestClipText", "latestScreenshot", "launchAtLogin", "panelVisible",
                          "screenshotCount", "screenshotDir", "smAppServiceEnabled", "tab"}));
    QCOMPARE(o.value(QStringLiteral("latestClipText")).toString(),
             QString(79, u'a') + QStringLiteral("\U0001F1E9\U0001F1EA"));
    QVERIFY(bytes.indexOf("\"clipItemCount\"") < bytes.indexOf("\"tab\""));
    QCOMPARE(modeOf(channel.statePath()) & 0777, mode_t(0600));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1); // no temp left
}

void TestDebugChannel::stateFileRefusesLinksAndForeignFiles() {
    QTemporaryDir dir;
    const QString victim = dir.filePath(QStringLiteral("victim"));
    QFile v(victim);
    QVERIFY(v.open(QIODevice::WriteOnly));
    v.write("precious");
    v.close();
    const QString link = dir.filePath(QStringLiteral("state.json"));
    QVERIFY(QFile::link(victim, link));
    QVERIFY(!DebugChannel::writePrivateFileAtomically(link, "{}"));
    QVERIFY(v.open(QIODevice::ReadOnly));
    QCOMPARE(v.readAll(), QByteArray("precious"));
    v.close();
    QVERIFY(S_ISLNK(modeOf(link)));

    // A file that belongs to another user is not replaced either.
    const QString foreign = dir.filePath(QStringLiteral("foreign.json"));
    QFile ff(foreign);
    QVERIFY(ff.open(QIODevice::WriteOnly));
    ff.close();
    if (::geteuid() == 0) {
        QCOMPARE(::chown(QFile::encodeName(foreign).constData(), 65534, 65534), 0);
        QVERIFY(!DebugChannel::writePrivateFileAtomically(foreign, "{}"));
        QCOMPARE(QFileInfo(foreign).size(), 0);
    }
    // A folder at the path is not a file to replace.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("dir.json")));
    QVERIFY(
        !DebugChannel::writePrivateFileAtomically(dir.filePath(QStringLiteral("dir.json")), "{}"));
    // An existing file of ours is replaced whole.
    const QString own = dir.filePath(QStringLiteral("own.json"));
    QVERIFY(DebugChannel::writePrivateFileAtomically(own, "first version, longer"));
    QVERIFY(DebugChannel::writePrivateFileAtomically(own, "{}"));
    QFile o(own);
    QVERIFY(o.open(QIODevice::ReadOnly));
    QCOMPARE(o.readAll(), QByteArray("{}"));
}

// Pictures into the user's files are followed through in tst_commandline.
void TestDebugChannel::picturesOnlyIntoRegularFiles() {
    QTemporaryDir dir;
    QWidget window;
    QVERIFY(!DebugChannel::writePicture(&window, QString()));
    QVERIFY(!DebugChannel::writePicture(nullptr, dir.filePath(QStringLiteral("pic.png"))));
    // A FIFO named like a picture must neither block (the test would hang)
    // nor be written.
    const QString fifo = dir.filePath(QStringLiteral("fifo.png"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QVERIFY(!DebugChannel::writePicture(&window, fifo));
    QVERIFY(!DebugChannel::writePicture(&window, QStringLiteral("/dev/null")));
}

QTEST_MAIN(TestDebugChannel)
#include "tst_debugchannel.moc"
