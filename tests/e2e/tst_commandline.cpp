// `quillet --debug CMD` as a script runs it: the built binary sends each
// command to the built Quillet running under the harness's X server and
// session bus, and the pictures it asks for are looked at on disk.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {
QString quilletBinary() {
    return qEnvironmentVariable("QUILLET_BUILD_DIR") + QStringLiteral("/src/app/quillet");
}

struct Outcome {
    int exitCode = -1;
    QByteArray stderrText;
};

Outcome debug(const QString& command) {
    QProcess p;
    p.start(quilletBinary(), {QStringLiteral("--debug"), command});
    p.waitForFinished(10000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardError()};
}

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

mode_t permissions(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}
} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void debugCommands();
};

void TestCommandLine::debugCommands() {
    QVERIFY2(QFile::exists(quilletBinary()), qPrintable(quilletBinary()));
    // Nobody to hear the command: that is a failure, and the user is told.
    const Outcome alone = debug(QStringLiteral("state"));
    QCOMPARE(alone.exitCode, 1);
    QVERIFY2(alone.stderrText.contains("not running"), alone.stderrText.constData());

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
    QTemporaryDir dir;
    // The debug channel listens once start-up is done; ask until it answers.
    const QString ready = dir.filePath(QStringLiteral("ready.png"));
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            debug(QStringLiteral("snapshot:") + ready);
            return QTest::qWaitFor([&] { return QFile::exists(ready); }, 1500);
        }(),
        20000);

    // Twenty commands in a row, each sender exiting at once: every one arrives.
    QStringList shots;
    for (int i = 0; i < 20; ++i) {
        shots << dir.filePath(QStringLiteral("shot-%1.png").arg(i));
        QCOMPARE(debug(QStringLiteral("snapshot:") + shots.last()).exitCode, 0);
    }
    for (const QString& shot : std::as_const(shots)) {
        QTRY_VERIFY2_WITH_TIMEOUT(!QImage(shot).isNull(), qPrintable(shot), 20000);
        QCOMPARE(permissions(shot), mode_t(0600)); // the panel's contents are private
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
             shots.size() + 2); // ready, the shots and old: no temporary file left behind
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
