// End to end on the harness's Xvfb: the process-wide watcher, the real
// clipboard, a capture copied in by another process and xclip reading the
// clipboard as the application the user pastes into would.
#include "app/AppServices.h"
#include "screenshots/ScreenshotWatcher.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QTest>
#include <QUrl>

namespace {
// Runs xclip without blocking our event loop, which has to answer it.
QByteArray readClipboard(const QString& target) {
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard"),
                                          QStringLiteral("-t"), target, QStringLiteral("-o")});
    if (!xclip.waitForStarted())
        return {};
    if (!QTest::qWaitFor([&] { return xclip.state() == QProcess::NotRunning; }, 10000))
        return {};
    return xclip.readAllStandardOutput();
}
} // namespace

class TestScreenshotAutoCopy : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void newCaptureLandsOnTheClipboard();
};

void TestScreenshotAutoCopy::newCaptureLandsOnTheClipboard() {
    // Wired as the application wires it: the watcher copies through the history's copy-back.
    AppServices services;
    ScreenshotWatcher& watcher = services.watcher();
    // No screenshot tool is configured in the test home, and the session is
    // none in particular: the Pictures folder, where the tools save by default.
    const QString pictures = QDir::homePath() + QStringLiteral("/Pictures");
    QCOMPARE(watcher.dir(), QUrl::fromLocalFile(pictures));
    QTRY_VERIFY_WITH_TIMEOUT(watcher.isWatching(), 5000);

    QImage image(32, 16, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    const QString made = QDir::homePath() + QStringLiteral("/made.png");
    QVERIFY(image.save(made, "PNG"));
    QFile madeFile(made);
    QVERIFY(madeFile.open(QIODevice::ReadOnly));
    const QByteArray png = madeFile.readAll();

    const QString capture = pictures + QStringLiteral("/Screenshot from today.png");
    QProcess cp;
    cp.start(QStringLiteral("cp"), {made, capture});
    QTRY_VERIFY_WITH_TIMEOUT(cp.state() == QProcess::NotRunning, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(watcher.unseenCount(), 1, 5000);
    QCOMPARE(watcher.screenshots().value(0), QUrl::fromLocalFile(capture));

    const QByteArray targets = readClipboard(QStringLiteral("TARGETS"));
    QVERIFY2(targets.contains("image/png") && targets.contains("text/uri-list"),
             targets.constData());
    QCOMPARE(readClipboard(QStringLiteral("image/png")), png);
    QCOMPARE(readClipboard(QStringLiteral("text/uri-list")).trimmed(),
             QUrl::fromLocalFile(capture).toEncoded());
}

QTEST_MAIN(TestScreenshotAutoCopy)
#include "tst_screenshotautocopy.moc"
