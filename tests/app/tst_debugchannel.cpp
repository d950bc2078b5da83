#include "app/CommandLine.h"
#include "app/DebugChannel.h"
#include "app/DebugTarget.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
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
    QWidget window;
    DebugState current;

    void showPanel(const QString& tab) override {
        calls << QStringLiteral("showPanel(%1)").arg(tab);
    }
    void hidePanel() override { calls << QStringLiteral("hidePanel"); }
    QWidget* panelWindow() override { return &window; }
    void showQuickPicker() override { calls << QStringLiteral("showQuick"); }
    void hideQuickPicker() override { calls << QStringLiteral("hideQuick"); }
    QWidget* quickPickerWindow() override { return &window; }
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
    void commandTable();
    void commandsArriveOverTheSessionBus();
    void privateFilesOnlyReplaceOwnRegularOnes();
    void qtStartOptionsStartTheApplication();
};

void TestDebugChannel::commandTable() {
    // openQuick, closeQuick and closePanel arrive over the bus below.
    const QList<std::pair<QString, QStringList>> rows{
        {"openPanel", {"showPanel(clipboard)"}},
        {"openPanelScreens", {"showPanel(screenshots)"}},
        {"toggleLaunchAtLogin", {"toggleLogin"}},
        {"snapshot:/nonexistent/x.png", {"showPanel()"}}, // keeps the tab
        {"restore:9007199254740993", {"restore(9007199254740993)"}},
        {"restore:abc", {}},
        {"restore: 4", {}},
        {"OPENPANEL", {}},
        {"openPanelX", {}}};
    for (const auto& [command, calls] : rows) {
        RecordingTarget target;
        DebugChannel(target).dispatch(command);
        QCOMPARE(target.calls, calls);
    }
}

void TestDebugChannel::commandsArriveOverTheSessionBus() {
    RecordingTarget target;
    DebugChannel channel(target);
    QVERIFY(channel.install());
    QVERIFY(QDBusConnection::sessionBus().registerService(QStringLiteral("com.ovo.quillet")));
    QCOMPARE(DebugChannel::send(QStringLiteral("openQuick")), DebugChannel::SendResult::delivered);

    const auto raw = [](const QVariant& argument) {
        QDBusMessage signal =
            QDBusMessage::createSignal(QStringLiteral("/com/ovo/quillet"),
                                       QStringLiteral("com.ovo.quillet"), QStringLiteral("debug"));
        QVERIFY(QDBusConnection::sessionBus().send(signal << argument));
    };
    // The command may also come as the "cmd" entry of a dictionary; an
    // argument that is neither does nothing, and the one after it still arrives.
    raw(QVariantMap{{QStringLiteral("cmd"), QStringLiteral("closePanel")}});
    raw(7);
    QCOMPARE(DebugChannel::send(QStringLiteral("closeQuick")), DebugChannel::SendResult::delivered);
    QTRY_COMPARE(target.calls,
                 (QStringList{QStringLiteral("showQuick"), QStringLiteral("hidePanel"),
                              QStringLiteral("hideQuick")}));
}

// Pictures into the user's files are followed through in tst_acceptance.
void TestDebugChannel::privateFilesOnlyReplaceOwnRegularOnes() {
    QTemporaryDir dir;
    const auto path = [&dir](const char* name) {
        return dir.filePath(QLatin1String(name));
    };
    const auto contents = [](const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    };
    RecordingTarget target;
    // 79 letters, then a flag made of two code points: the cut keeps it whole.
    target.current.latestClipText =
        QString(79, u'a') + QStringLiteral("\U0001F1E9\U0001F1EA") + u'z';
    DebugChannel channel(target);
    channel.setStatePath(path("state.json"));
    channel.dispatch(QStringLiteral("state"));
    const QByteArray bytes = contents(path("state.json"));
    const QJsonObject o = QJsonDocument::fromJson(bytes).object();
    QCOMPARE(o.keys(), (QStringList{"clipItemCount", "hotkey", "latestClipKind", "latestClipSource",
                                    "latestClipText", "latestScreenshot", "launchAtLogin",
                                    "panelVisible", "quickPickerVisible", "screenshotCount",
                                    "screenshotDir", "smAppServiceEnabled", "tab"}));
    QCOMPARE(o.value(QStringLiteral("latestClipText")).toString(),
             QString(79, u'a') + QStringLiteral("\U0001F1E9\U0001F1EA"));
    QVERIFY(bytes.indexOf("\"clipItemCount\"") < bytes.indexOf("\"tab\""));
    QCOMPARE(modeOf(path("state.json")) & 0777, mode_t(0600));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1); // no temp left

    // Never through a link, nor over another user's file or a folder.
    QVERIFY(DebugChannel::writePrivateFileAtomically(path("victim"), "precious"));
    QVERIFY(QFile::link(path("victim"), path("link.json")));
    QVERIFY(!DebugChannel::writePrivateFileAtomically(path("link.json"), "{}"));
    QCOMPARE(contents(path("victim")), QByteArray("precious"));
    QVERIFY(S_ISLNK(modeOf(path("link.json"))));
    if (::geteuid() == 0) { // a file that belongs to another user
        QCOMPARE(::chown(QFile::encodeName(path("victim")).constData(), 65534, 65534), 0);
        QVERIFY(!DebugChannel::writePrivateFileAtomically(path("victim"), "{}"));
        QCOMPARE(contents(path("victim")), QByteArray("precious"));
    }
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("dir.json")));
    QVERIFY(!DebugChannel::writePrivateFileAtomically(path("dir.json"), "{}"));
    // An existing file of ours is replaced whole.
    QVERIFY(DebugChannel::writePrivateFileAtomically(path("own.json"), "first version, longer"));
    QVERIFY(DebugChannel::writePrivateFileAtomically(path("own.json"), "{}"));
    QCOMPARE(contents(path("own.json")), QByteArray("{}"));

    QWidget window;
    QVERIFY(!DebugChannel::writePicture(&window, QString()));
    QVERIFY(!DebugChannel::writePicture(nullptr, path("pic.png")));
    // A FIFO named like a picture must neither block (the test would hang) nor be written.
    QCOMPARE(::mkfifo(QFile::encodeName(path("fifo.png")).constData(), 0600), 0);
    QVERIFY(!DebugChannel::writePicture(&window, path("fifo.png")));
    QVERIFY(!DebugChannel::writePicture(&window, QStringLiteral("/dev/null")));
}

QTEST_MAIN(TestDebugChannel)
// A session manager restarts Quillet with -session ID; that starts it, while
// anything else on the command line is a command for the running one.
void TestDebugChannel::qtStartOptionsStartTheApplication() {
    const auto command = [](const QStringList& args) {
        return CommandLine::isCommand(QStringList{QStringLiteral("quillet")} + args);
    };
    QVERIFY(!command({}));
    QVERIFY(!command({"-session", "10d4e5f"}));
    QVERIFY(!command({"--platform=xcb", "-reverse", "-style", "Fusion"}));
    QVERIFY(command({"--hide"}));
    QVERIFY(command({"-session", "x", "--toggle-picker"}));
    QVERIFY(command({"--bogus"}));
    QVERIFY(command({"stray"}));
}

#include "tst_debugchannel.moc"
