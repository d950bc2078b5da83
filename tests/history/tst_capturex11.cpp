#include "helpers/ClipboardOwner.h"
#include "helpers/TempPrefs.h"
#include "helpers/TestImages.h"
#include "history/ClipStore.h"
#include "history/ClipboardKeeper.h"
#include "history/ClipboardMonitor.h"
#include "platform/x11/X11ClipboardManager.h"
#include "platform/x11/X11FrontmostApp.h"
#include "platform/x11/X11Pasteboard.h"
#include "thumbnails/ThumbnailCache.h"

#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>

namespace {
struct World : TempPrefs {
    ClipStore store{dir.filePath(QStringLiteral("Quillet")), prefs};
    ThumbnailCache thumbnails{dir.filePath(QStringLiteral("Quillet/thumbs"))};
    X11Pasteboard pasteboard;
    X11FrontmostApp front;
};
} // namespace

// The whole capture path on the real X11 clipboard (the harness's Xvfb):
// xclip and the clipowner helper are the other applications.
class TestCaptureX11 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { m_world = std::make_unique<World>(); }
    void cleanup();
    void onlyChangesSeenWhileOnAreRecorded();
    void offersOfOtherApplications();
    void slowAndOverlappingCopiesAreAllRecorded();
    void clipboardOutlivesItsOwner();

private:
    using Start = std::function<std::unique_ptr<ClipboardOwner>()>;
    // Lets another process take the clipboard and waits until the monitor has dealt with it.
    bool copy(const Start& start);
    QString file(const QString& name, const QByteArray& bytes);
    void startMonitor();

    std::unique_ptr<World> m_world;
    std::unique_ptr<ClipboardMonitor> m_monitor;
    std::unique_ptr<QSignalSpy> m_handled;
    std::unique_ptr<ClipboardOwner> m_owner;
};

void TestCaptureX11::startMonitor() {
    m_monitor = std::make_unique<ClipboardMonitor>(
        m_world->pasteboard, m_world->front, m_world->store, m_world->thumbnails, m_world->prefs);
    m_handled = std::make_unique<QSignalSpy>(m_monitor.get(), &ClipboardMonitor::changeHandled);
    m_monitor->start();
}

void TestCaptureX11::cleanup() {
    m_handled.reset();
    m_monitor.reset();
    m_owner.reset();
    m_world.reset();
}

bool TestCaptureX11::copy(const Start& start) {
    const qint64 before = m_world->pasteboard.changeCount();
    m_owner = start();
    if (!m_owner->started())
        return false;
    if (!QTest::qWaitFor([&] { return m_world->pasteboard.changeCount() > before; }, 5000))
        return false;
    const qint64 target = m_world->pasteboard.changeCount();
    return QTest::qWaitFor(
        [&] {
            for (const auto& args : std::as_const(*m_handled)) {
                if (args.at(0).toLongLong() >= target)
                    return true;
            }
            return false;
        },
        10000);
}

QString TestCaptureX11::file(const QString& name, const QByteArray& bytes) {
    const QString path = m_world->dir.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

// Neither what was there at start-up (as at Quillet's launch) nor a copy made
// while history was off is recorded, not even at the next look.
void TestCaptureX11::onlyChangesSeenWhileOnAreRecorded() {
    m_owner = ClipboardOwner::xclip(QStringLiteral("UTF8_STRING"), "was there before");
    QVERIFY(m_owner->started());
    QTRY_VERIFY(m_world->pasteboard.changeCount() > 0);
    startMonitor();
    m_world->prefs.setClipboardEnabled(false);
    QVERIFY(copy([] { return ClipboardOwner::xclip(QStringLiteral("UTF8_STRING"), "off"); }));
    m_world->prefs.setClipboardEnabled(true);
    QTest::qWait(ClipboardMonitor::kFirstPollMs + ClipboardMonitor::kPollIntervalMs);
    QVERIFY(m_world->store.items().isEmpty());
    QVERIFY(copy([] { return ClipboardOwner::xclip(QStringLiteral("UTF8_STRING"), "new"); }));
    QCOMPARE(m_world->store.items().size(), 1);
    QCOMPARE(m_world->store.items().first().text, QStringLiteral("new"));
}

// Offers as other applications make them (text, links, pictures and files
// from xclip are in tst_acceptance).
void TestCaptureX11::offersOfOtherApplications() {
    startMonitor();
    // Marked by a password manager or as transient: never recorded.
    for (const QString& marker : {QStringLiteral("org.nspasteboard.ConcealedType=1"),
                                  QStringLiteral("x-kde-passwordManagerHint=secret"),
                                  QStringLiteral("text/x-kde-passwordManagerHint=secret"),
                                  QStringLiteral("org.nspasteboard.TransientType=1")}) {
        QVERIFY(copy([&] { return ClipboardOwner::offer({"text/plain=hunter2", marker}); }));
        QVERIFY2(m_world->store.items().isEmpty(), qPrintable(marker));
    }

    QVERIFY(copy([] { return ClipboardOwner::xclip(QStringLiteral("UTF8_STRING"), "plain ü"); }));
    // Some applications hand over their text with its C terminator: it is the
    // same text (the same row), and an offer of terminators alone is no text.
    QVERIFY(copy([] {
        return ClipboardOwner::xclip(QStringLiteral("UTF8_STRING"), QByteArray("plain ü\0\0", 10));
    }));
    QCOMPARE(m_world->store.items().size(), 1);
    QCOMPARE(m_world->store.items().first().text, QStringLiteral("plain ü"));
    QVERIFY(copy(
        [] { return ClipboardOwner::xclip(QStringLiteral("UTF8_STRING"), QByteArray(2, '\0')); }));
    QCOMPARE(m_world->store.items().size(), 1);

    // Hostile pictures leave the history (and Quillet) alone.
    for (const QByteArray& bytes :
         {TestImages::pngBomb(20000, 20000), TestImages::truncatedPng()}) {
        QVERIFY(copy([&] { return ClipboardOwner::xclip(QStringLiteral("image/png"), bytes); }));
        QCOMPARE(m_world->store.items().size(), 1);
    }

    QVERIFY(copy([] {
        return ClipboardOwner::offer(
            {QStringLiteral("text/plain=bold"), QStringLiteral("text/rtf={\\rtf1 \\b bold}")});
    }));
    const ClipItem item = m_world->store.items().first();
    QCOMPARE(item.kind, ClipKind::rtf);
    QFile rtf(item.rtfPath.value_or(QString()));
    QVERIFY(rtf.open(QIODevice::ReadOnly));
    QCOMPARE(rtf.readAll(), QByteArray("{\\rtf1 \\b bold}"));
    QCOMPARE(m_world->store.items().size(), 2);
}

// Every change readable when its capture started is recorded, in order: an
// image still being converted when the next copy arrives, an owner that
// encodes on request (the main thread keeps running while it does: it has
// to, to tell the owner to go on), and a transfer that trickles for longer
// than a few seconds.
void TestCaptureX11::slowAndOverlappingCopiesAreAllRecorded() {
    startMonitor();
    const auto newest = [&] {
        return m_world->store.items().isEmpty() ? ClipItem() : m_world->store.items().constFirst();
    };
    const QString big = file(QStringLiteral("big.png"), TestImages::png(2000, 1400, true));
    m_owner = ClipboardOwner::offer(
        {QStringLiteral("--then"), QStringLiteral("copied next"), "image/png=@" + big});
    QVERIFY(m_owner->started());
    QTRY_COMPARE_WITH_TIMEOUT(m_world->store.items().size(), 2, 20000);
    QCOMPARE(m_world->store.items().at(0).text, QStringLiteral("copied next"));
    QCOMPARE(m_world->store.items().at(1).kind, ClipKind::image);
    QCOMPARE(QImage(m_world->store.items().at(1).blobPath.value_or(QString())).size(),
             QSize(2000, 1400));

    const QString small = file(QStringLiteral("small.png"), TestImages::png(300, 200, true));
    m_owner = ClipboardOwner::offer({QStringLiteral("--wait"), "image/png=@" + small});
    QVERIFY(m_owner->started());
    QVERIFY(m_owner->printed("asked image/png"));
    m_owner->send("go");
    QTRY_COMPARE_WITH_TIMEOUT(newest().kind, ClipKind::image, 10000);
    QCOMPARE(QImage(newest().blobPath.value_or(QString())).size(), QSize(300, 200));

    const QString slow = file(QStringLiteral("slow.png"), TestImages::png(1000, 1000, true));
    m_owner = ClipboardOwner::offer(
        {QStringLiteral("--pace"), QStringLiteral("3000"), "image/png=@" + slow});
    QVERIFY(m_owner->started());
    QTRY_COMPARE_WITH_TIMEOUT(QImage(newest().blobPath.value_or(QString())).size(),
                              QSize(1000, 1000), 30000);
    QCOMPARE(m_world->store.items().size(), 4);
}

// Quillet as the session's clipboard manager: what the history recorded
// stays on the clipboard after the application that copied is gone, whether
// it quit and asked first (clipowner, a Qt application) or just vanished
// (xclip killed). What the history never had is not brought back.
void TestCaptureX11::clipboardOutlivesItsOwner() {
    startMonitor();
    X11ClipboardManager role;
    ClipboardKeeper keeper(role, *m_monitor, m_world->store, m_world->pasteboard, m_world->prefs);
    QSignalSpy restored(&keeper, &ClipboardKeeper::restored);
    QVERIFY(role.claim());
    // A second manager finds the part taken and leaves it alone.
    X11ClipboardManager other;
    QVERIFY(!other.claim());
    QVERIFY(role.isClaimed());

    const auto utf8 = QStringLiteral("UTF8_STRING");
    // Quits at once: the monitor reads the offer while the application waits.
    m_owner = ClipboardOwner::offer(
        {QStringLiteral("text/plain=kept on quit"), QStringLiteral("text/html=<b>kept</b>")});
    QVERIFY(m_owner->started());
    m_owner->send("quit");
    QVERIFY(m_owner->exited());
    QTRY_COMPARE_WITH_TIMEOUT(ClipboardOwner::readBack(utf8), QByteArray("kept on quit"), 10000);
    QCOMPARE(restored.count(), 1);

    const QString png = file(QStringLiteral("kept.png"), TestImages::png(40, 30));
    QVERIFY(copy([&] { return ClipboardOwner::offer({"image/png=@" + png}); }));
    m_owner->kill();
    QTRY_COMPARE_WITH_TIMEOUT(restored.count(), 2, 10000);
    QCOMPARE(QImage::fromData(ClipboardOwner::readBack(PasteboardType::png)).size(), QSize(40, 30));

    QVERIFY(copy([] {
        return ClipboardOwner::offer({QStringLiteral("text/plain=hunter2"),
                                      QStringLiteral("x-kde-passwordManagerHint=secret")});
    }));
    m_owner->send("quit");
    QVERIFY(m_owner->exited());
    m_world->prefs.setClipboardEnabled(false);
    QVERIFY(copy([] { return ClipboardOwner::xclip(QStringLiteral("UTF8_STRING"), "while off"); }));
    m_owner->kill();
    m_world->prefs.setClipboardEnabled(true);
    QVERIFY(copy([] { return ClipboardOwner::xclip(QStringLiteral("UTF8_STRING"), "last"); }));
    m_owner->kill();
    QTRY_COMPARE_WITH_TIMEOUT(ClipboardOwner::readBack(utf8), QByteArray("last"), 10000);
    // Neither the secret nor the copy made while history was off came back.
    QCOMPARE(restored.count(), 3);
}

QTEST_MAIN(TestCaptureX11)
#include "tst_capturex11.moc"
