// End to end: the built quillet under a private X server or Wayland
// compositor and session bus (the same cases on both), fed by other processes
// (another application's copy, files written into the watched folder) and
// driven only through its debug channel and command line, as a script or a
// user would.
#include "helpers/ClipboardOwner.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <sys/stat.h>

#include <functional>
#include <memory>
#include <tuple>
#include <utility>

namespace {
const QString kStatePath = QStringLiteral("/tmp/quillet-debug-state.json");

QString quilletBinary() {
    return qEnvironmentVariable("QUILLET_BUILD_DIR") + QStringLiteral("/src/app/quillet");
}

void send(const QString& command) {
    QDBusMessage signal =
        QDBusMessage::createSignal(QStringLiteral("/com/ovo/quillet"),
                                   QStringLiteral("com.ovo.quillet"), QStringLiteral("debug"));
    signal << command;
    QVERIFY(QDBusConnection::sessionBus().send(signal));
}

// Asks for a fresh state file and returns it once it has been rewritten. The
// request is repeated, since the channel is installed late in start-up.
QJsonObject state() {
    QFile::remove(kStatePath);
    QJsonObject o;
    const auto read = [&o] {
        QFile f(kStatePath);
        return f.open(QIODevice::ReadOnly) &&
               !(o = QJsonDocument::fromJson(f.readAll()).object()).isEmpty();
    };
    for (int i = 0; i < 20; ++i) {
        send(QStringLiteral("state"));
        if (QTest::qWaitFor(read, 500))
            break;
    }
    return o;
}

struct Run {
    int exitCode = -1; // -1: crashed or still running
    QByteArray out;
    QByteArray err;
};

// `quillet ARGUMENTS` as a script or a key binding runs it.
Run quillet(const QStringList& arguments,
            const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(environment);
    p.start(quilletBinary(), arguments);
    p.waitForFinished(10000);
    return {p.exitStatus() == QProcess::NormalExit && p.state() == QProcess::NotRunning
                ? p.exitCode()
                : -1,
            p.readAllStandardOutput(), p.readAllStandardError()};
}

Run debug(const QString& command) {
    return quillet({QStringLiteral("--debug"), command});
}

QByteArray readClipboard(const QString& type = QStringLiteral("UTF8_STRING")) {
    return ClipboardOwner::readBack(type);
}

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

mode_t permissions(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// Whether sway shows a window of this title, and only as a floating one.
bool floatingInSway(const QString& title) {
    QProcess p;
    p.start(QStringLiteral("swaymsg"), {QStringLiteral("-t"), QStringLiteral("get_tree")});
    p.waitForFinished(5000);
    bool floating = false;
    bool tiled = false;
    const std::function<void(const QJsonObject&, bool)> walk = [&](const QJsonObject& node,
                                                                   bool inFloating) {
        if (node.value(u"name"_qs).toString() == title && node.contains(u"app_id"_qs))
            (inFloating ? floating : tiled) = true;
        for (const auto& child : node.value(u"nodes"_qs).toArray())
            walk(child.toObject(), inFloating);
        for (const auto& child : node.value(u"floating_nodes"_qs).toArray())
            walk(child.toObject(), true);
    };
    walk(QJsonDocument::fromJson(p.readAllStandardOutput()).object(), false);
    return floating && !tiled;
}

} // namespace

class TestAcceptance : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void wholeApplication();
};

// Every kind of clip is read on the real clipboard in tst_capture; here
// the built program wires it all together.
void TestAcceptance::wholeApplication() {
    // Nobody to hear a command, or no bus to carry it: a failure, told in
    // one line, and no Quillet is started for it. A usage error is told apart.
    struct Case {
        QStringList arguments;
        int exitCode;
        const char* told;
        bool noBus = false;
    };
    const QList<Case> alone{{{"--debug", "state"}, 1, "not running"},
                            {{"--toggle-picker"}, 1, "not running"},
                            {{"--show-panel", "clipboard"}, 1, "not running"},
                            {{"--hide"}, 1, "session bus", true},
                            {{"--bogus"}, 2, "Unknown option 'bogus'"},
                            {{"--show-panel=Screenshots"}, 2, "unknown tab 'Screenshots'"},
                            {{"--hide", "--toggle-picker"}, 2, "one command"},
                            {{"--hide", "now"}, 2, "unexpected argument 'now'"}};
    for (const Case& c : alone) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (c.noBus)
            environment.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
        const Run run = quillet(c.arguments, environment);
        QVERIFY2(run.exitCode == c.exitCode && run.err.count('\n') == 1 &&
                     run.err.contains(c.told) && run.out.isEmpty(),
                 qPrintable(c.arguments.join(u' ') + QStringLiteral(": %1 ").arg(run.exitCode) +
                            QString::fromLocal8Bit(run.err)));
    }
    // The language a desktop session sets, unless the user lists English first.
    QProcessEnvironment german = QProcessEnvironment::systemEnvironment();
    german.insert("LANG", "de_DE.UTF-8");
    QVERIFY(quillet({"--hide", "now"}, german).err.contains("unerwartetes Argument „now“"));
    german.insert("LANGUAGE", "en:de");
    QVERIFY(quillet({"--hide", "now"}, german).err.contains("unexpected argument 'now'"));
    QVERIFY(!QDBusConnection::sessionBus().interface()->isServiceRegistered(
        QStringLiteral("com.ovo.quillet")));
    const Run version = quillet({QStringLiteral("--version")});
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.out, QByteArray("quillet " QUILLET_VERSION "\n"));
    // What works here, for scripts: this session's platform, its clipboard first.
    const Run status = quillet({QStringLiteral("--status"), QStringLiteral("--json")});
    QCOMPARE(status.exitCode, 0);
    const QJsonObject report = QJsonDocument::fromJson(status.out).object();
    QCOMPARE(report.value(u"platform"_qs).toString(),
             qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ? u"x11"_qs : u"wayland"_qs);
    QVERIFY(report.value(u"capabilities"_qs).toArray().at(0)[u"available"_qs].toBool());

    QProcess app;
    app.setProcessChannelMode(QProcess::ForwardedChannels);
    app.start(quilletBinary(), {});
    QVERIFY2(app.waitForStarted(), qPrintable(quilletBinary()));
    auto stop = qScopeGuard([&app] {
        app.terminate();
        if (!app.waitForFinished(5000))
            app.kill();
        app.waitForFinished(2000);
    });
    // Ready once it owns its bus name.
    QTRY_VERIFY_WITH_TIMEOUT(QDBusConnection::sessionBus().interface()->isServiceRegistered(
                                 QStringLiteral("com.ovo.quillet")),
                             15000);
    QJsonObject s = state();
    QCOMPARE(s.value(QStringLiteral("clipItemCount")).toInt(), 0);
    QCOMPARE(s.value(QStringLiteral("hotkey")).toString(), QStringLiteral("⇧⌘V"));
    const QString shots = s.value(QStringLiteral("screenshotDir")).toString();
    QVERIFY(QFileInfo(shots).isDir());

    // Copied by another application, which keeps offering it until replaced.
    const auto owner = ClipboardOwner::xclip(QStringLiteral("UTF8_STRING"), "hello from e2e");
    QVERIFY(owner->started());
    QTRY_COMPARE_WITH_TIMEOUT(state().value(QStringLiteral("latestClipText")).toString(),
                              QStringLiteral("hello from e2e"), 10000);
    QCOMPARE(state().value(QStringLiteral("clipItemCount")).toInt(), 1);

    // Two screenshots saved by "the screenshot tool", one after the other.
    QImage image(64, 48, QImage::Format_ARGB32);
    image.fill(Qt::darkCyan);
    int saved = 0;
    for (const char* name :
         {"Screenshot from 2026-12-06 10-00-00.png", "Screenshot from 2026-12-06 10-00-05.png"}) {
        QVERIFY(image.save(shots + u'/' + QString::fromUtf8(name)));
        ++saved;
        QTRY_COMPARE_WITH_TIMEOUT(state().value(QStringLiteral("screenshotCount")).toInt(), saved,
                                  10000);
    }
    QCOMPARE(state().value(QStringLiteral("latestScreenshot")).toString(),
             QStringLiteral("Screenshot from 2026-12-06 10-00-05.png"));
    // The newest capture is on the clipboard, as a picture and as a file.
    QFile latest(shots + QStringLiteral("/Screenshot from 2026-12-06 10-00-05.png"));
    QVERIFY(latest.open(QIODevice::ReadOnly));
    const QByteArray captured = latest.readAll();
    // (Both pictures are alike: wait for the file, then compare the picture.)
    QTRY_COMPARE_WITH_TIMEOUT(readClipboard(QStringLiteral("text/uri-list")).trimmed(),
                              QUrl::fromLocalFile(latest.fileName()).toEncoded(), 5000);
    QCOMPARE(readClipboard(QStringLiteral("image/png")), captured);

    // restore:ID puts the item back on the real clipboard; the harness's
    // fresh home gives the first clip of a new history id 1.
    send(QStringLiteral("restore:1"));
    QTRY_COMPARE_WITH_TIMEOUT(readClipboard(), QByteArray("hello from e2e"), 5000);

    // Pictures of the three windows, kept for a look after the run.
    const QString artifacts = qEnvironmentVariable("QUILLET_BUILD_DIR") + "/e2e-artifacts";
    QVERIFY(QDir().mkpath(artifacts));
    for (const auto& [command, name] :
         {std::pair{"snapshot", "panel"}, std::pair{"snapshotQuick", "quick"},
          std::pair{"snapshotSettings", "settings"}}) {
        const QString png = artifacts + u'/' + QLatin1String(name) + QStringLiteral(".png");
        QFile::remove(png);
        send(QLatin1String(command) + u':' + png);
        QTRY_VERIFY_WITH_TIMEOUT(!QImage(png).isNull(), 5000);
        send(QStringLiteral("closePanel"));
        send(QStringLiteral("closeQuick"));
    }

    // The commands for the desktop's key bindings return once carried out.
    const auto shown = [] {
        const QJsonObject o = state();
        return std::tuple{o.value(QStringLiteral("panelVisible")).toBool(),
                          o.value(QStringLiteral("tab")).toString(),
                          o.value(QStringLiteral("quickPickerVisible")).toBool()};
    };
    const QString screens = QStringLiteral("screenshots");
    const QList<std::pair<QStringList, std::tuple<bool, QString, bool>>> commands{
        {{"--show-panel", "screenshots"}, {true, screens, false}},
        {{"--hide"}, {false, screens, false}},
        {{"--show-panel"}, {true, screens, false}}, // the tab shown last
        {{"--hide"}, {false, screens, false}},
        {{"--toggle-picker"}, {false, screens, true}},
        {{"--toggle-picker"}, {false, screens, false}}};
    for (const auto& [arguments, expected] : commands) {
        const Run run = quillet(arguments);
        QVERIFY2(run.exitCode == 0, run.err.constData());
        QCOMPARE(shown(), expected);
        // A tiling compositor floats the panel and the picker: they ask for a fixed
        // size. (The compositor lists a window a moment after Qt shows it.)
        if (!qEnvironmentVariableIsEmpty("SWAYSOCK") && std::get<2>(expected))
            QTRY_VERIFY_WITH_TIMEOUT(floatingInSway(QStringLiteral("Quillet Quick Picker")), 5000);
        if (!qEnvironmentVariableIsEmpty("SWAYSOCK") && std::get<0>(expected))
            QTRY_VERIFY_WITH_TIMEOUT(floatingInSway(QStringLiteral("Quillet")), 5000);
    }
    // Called over the bus with a tab it does not know, Quillet refuses and shows nothing.
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("com.ovo.quillet"), QStringLiteral("/com/ovo/quillet"),
        QStringLiteral("com.ovo.quillet.Commands"), QStringLiteral("ShowPanel"));
    call << QStringLiteral("Screenshots");
    const QDBusMessage refused = QDBusConnection::sessionBus().call(call);
    QCOMPARE(refused.errorName(), QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"));
    QCOMPARE(shown(), (std::tuple{false, screens, false}));

    // A second start shows the first one's panel and leaves.
    QProcess second;
    second.start(quilletBinary(), {});
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(state().value(QStringLiteral("panelVisible")).toBool(), 10000);
    QCOMPARE(app.state(), QProcess::Running);

    // Twenty commands in a row from the command line, each sender exiting at
    // once: every one arrives.
    QTemporaryDir dir;
    QStringList pictures;
    for (int i = 0; i < 20; ++i) {
        pictures << dir.filePath(QStringLiteral("shot-%1.png").arg(i));
        QCOMPARE(debug(QStringLiteral("snapshot:") + pictures.last()).exitCode, 0);
    }
    for (const QString& picture : std::as_const(pictures)) {
        QTRY_VERIFY2_WITH_TIMEOUT(!QImage(picture).isNull(), qPrintable(picture), 20000);
        QCOMPARE(permissions(picture), mode_t(0600)); // the panel's contents are private
    }
    // A path that names one of the user's own files that is not a picture
    // is refused; an earlier picture is replaced.
    const QString bashrc = QDir::homePath() + QStringLiteral("/.bashrc");
    QFile rc(bashrc);
    QVERIFY(rc.open(QIODevice::WriteOnly));
    rc.write("export EDITOR=vi\n");
    rc.close();
    const QString old = dir.filePath(QStringLiteral("old.png"));
    QVERIFY(QImage(QSize(3, 3), QImage::Format_RGB32).save(old));
    QFile::setPermissions(old, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                   QFileDevice::ReadOther);
    QCOMPARE(debug(QStringLiteral("snapshot:") + bashrc).exitCode, 0);
    QCOMPARE(debug(QStringLiteral("snapshot:") + old).exitCode, 0);
    QTRY_VERIFY_WITH_TIMEOUT(QImage(old).width() > 3, 10000);
    QCOMPARE(contents(bashrc), QByteArray("export EDITOR=vi\n"));
    QCOMPARE(permissions(old), mode_t(0600));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Hidden | QDir::Files).size(),
             pictures.size() + 1); // the pictures and old: no temporary file left behind
}

QTEST_GUILESS_MAIN(TestAcceptance)
#include "tst_acceptance.moc"
