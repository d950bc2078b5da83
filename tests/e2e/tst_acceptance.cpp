// End to end: the built quillet under a private X server and session bus,
// fed by other processes (xclip, files written into the watched folder) and
// inspected only through its debug channel, as a script or a user would.
#include "helpers/ClipboardOwner.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <sqlite3.h>

#include <memory>
#include <utility>

namespace {
const QString kStatePath = QStringLiteral("/tmp/quillet-debug-state.json");

QString quilletBinary() {
    return qEnvironmentVariable("QUILLET_BUILD_DIR") + QStringLiteral("/src/app/quillet");
}

QString artifactDir() {
    const QString dir =
        qEnvironmentVariable("QUILLET_BUILD_DIR") + QStringLiteral("/e2e-artifacts");
    QDir().mkpath(dir);
    return dir;
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
    QElapsedTimer t;
    t.start();
    qint64 lastAsked = -1000;
    while (t.elapsed() < 10000) {
        if (t.elapsed() - lastAsked >= 500) {
            send(QStringLiteral("state"));
            lastAsked = t.elapsed();
        }
        QFile f(kStatePath);
        if (f.open(QIODevice::ReadOnly)) {
            const QJsonDocument doc = QJsonDocument::fromJson(f.readAll());
            if (doc.isObject())
                return doc.object();
        }
        QTest::qWait(50);
    }
    return {};
}

// Offers bytes on the CLIPBOARD as another application would; the owner
// stays until the next copy replaces it.
std::unique_ptr<ClipboardOwner> owner;
void copyWithXclip(const QByteArray& bytes, const QString& type = QStringLiteral("UTF8_STRING")) {
    owner = ClipboardOwner::xclip(type, bytes);
    QVERIFY(owner->started());
}

QByteArray readClipboard(const QString& type = QStringLiteral("UTF8_STRING")) {
    return ClipboardOwner::readBack(type);
}

qint64 idOfText(const QString& text) {
    const QString db = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                       QStringLiteral("/Quillet/quillet.sqlite");
    sqlite3* h = nullptr;
    qint64 id = -1;
    if (sqlite3_open_v2(QFile::encodeName(db).constData(), &h, SQLITE_OPEN_READONLY, nullptr) ==
        SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(h, "SELECT id FROM items WHERE text=?", -1, &st, nullptr);
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(st, 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(st) == SQLITE_ROW)
            id = sqlite3_column_int64(st, 0);
        sqlite3_finalize(st);
    }
    sqlite3_close(h);
    return id;
}
} // namespace

class TestAcceptance : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void wholeApplication();

private:
    QProcess m_app;
};

void TestAcceptance::init() {
    QStandardPaths::setTestModeEnabled(false);
    m_app.setProcessChannelMode(QProcess::ForwardedChannels);
    m_app.start(quilletBinary(), {});
    QVERIFY2(m_app.waitForStarted(), qPrintable(quilletBinary()));
    // Ready once it owns its bus name.
    QTRY_VERIFY_WITH_TIMEOUT(QDBusConnection::sessionBus().interface()->isServiceRegistered(
                                 QStringLiteral("com.ovo.quillet")),
                             15000);
}

void TestAcceptance::cleanup() {
    owner.reset();
    m_app.terminate();
    if (!m_app.waitForFinished(5000))
        m_app.kill();
    m_app.waitForFinished(2000);
}

// Every kind of clip is read on the real clipboard in tst_capturex11; here
// the built program wires it all together.
void TestAcceptance::wholeApplication() {
    QJsonObject s = state();
    QCOMPARE(s.value(QStringLiteral("clipItemCount")).toInt(), 0);
    QCOMPARE(s.value(QStringLiteral("hotkey")).toString(), QStringLiteral("⇧⌘V"));
    const QString shots = s.value(QStringLiteral("screenshotDir")).toString();
    QVERIFY(QFileInfo(shots).isDir());

    copyWithXclip("hello from e2e");
    QTRY_COMPARE_WITH_TIMEOUT(state().value(QStringLiteral("latestClipText")).toString(),
                              QStringLiteral("hello from e2e"), 10000);
    QTemporaryDir files;
    const QString a = files.filePath(QStringLiteral("a.txt"));
    const QString b = files.filePath(QStringLiteral("b c.txt"));
    for (const QString& p : {a, b}) {
        QFile f(p);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    copyWithXclip(
        (QUrl::fromLocalFile(a).toEncoded() + "\r\n" + QUrl::fromLocalFile(b).toEncoded()),
        QStringLiteral("text/uri-list"));
    QTRY_COMPARE_WITH_TIMEOUT(state().value(QStringLiteral("latestClipKind")).toString(),
                              QStringLiteral("file"), 10000);
    s = state();
    QCOMPARE(s.value(QStringLiteral("clipItemCount")).toInt(), 2);
    QCOMPARE(s.value(QStringLiteral("latestClipText")).toString(), a + u'\n' + b);

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
    QTRY_COMPARE_WITH_TIMEOUT(readClipboard(QStringLiteral("image/png")), captured, 5000);
    QCOMPARE(readClipboard(QStringLiteral("text/uri-list")).trimmed(),
             QUrl::fromLocalFile(latest.fileName()).toEncoded());

    // restore:ID puts the item back on the real clipboard.
    const qint64 id = idOfText(QStringLiteral("hello from e2e"));
    QVERIFY(id > 0);
    send(QStringLiteral("restore:") + QString::number(id));
    QTRY_COMPARE_WITH_TIMEOUT(readClipboard(), QByteArray("hello from e2e"), 5000);

    // Pictures of the three windows, kept for a look after the run.
    for (const auto& [command, name] :
         {std::pair{"snapshot", "panel"}, std::pair{"snapshotQuick", "quick"},
          std::pair{"snapshotSettings", "settings"}}) {
        const QString png = artifactDir() + u'/' + QLatin1String(name) + QStringLiteral(".png");
        QFile::remove(png);
        send(QLatin1String(command) + u':' + png);
        QTRY_VERIFY_WITH_TIMEOUT(!QImage(png).isNull(), 5000);
        send(QStringLiteral("closePanel"));
        send(QStringLiteral("closeQuick"));
    }

    send(QStringLiteral("openPanelScreens"));
    QTRY_VERIFY_WITH_TIMEOUT(state().value(QStringLiteral("panelVisible")).toBool(), 5000);
    QCOMPARE(state().value(QStringLiteral("tab")).toString(), QStringLiteral("screenshots"));
    send(QStringLiteral("closePanel"));
    QTRY_VERIFY_WITH_TIMEOUT(!state().value(QStringLiteral("panelVisible")).toBool(), 5000);
}

QTEST_GUILESS_MAIN(TestAcceptance)
#include "tst_acceptance.moc"
