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
    std::unique_ptr<ClipboardMonitor> monitor;
    std::unique_ptr<QSignalSpy> handled;
    std::unique_ptr<ClipboardOwner> owner;

    void start() {
        monitor = std::make_unique<ClipboardMonitor>(pasteboard, front, store, thumbnails, prefs);
        handled = std::make_unique<QSignalSpy>(monitor.get(), &ClipboardMonitor::changeHandled);
        monitor->start();
    }

    // Lets another process take the clipboard and waits until the monitor has dealt with it.
    bool copy(const std::function<std::unique_ptr<ClipboardOwner>()>& start) {
        const qint64 before = pasteboard.changeCount();
        owner = start();
        if (!owner->started() ||
            !QTest::qWaitFor([&] { return pasteboard.changeCount() > before; }, 5000))
            return false;
        const qint64 target = pasteboard.changeCount();
        return QTest::qWaitFor(
            [&] {
                return std::any_of(
                    handled->cbegin(), handled->cend(),
                    [&](const QList<QVariant>& a) { return a.at(0).toLongLong() >= target; });
            },
            10000);
    }
    QString file(const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
        return f.fileName();
    }
    bool copyText(const QByteArray& text) {
        return copy([&] { return ClipboardOwner::xclip(QStringLiteral("UTF8_STRING"), text); });
    }
    ClipItem newest() const { return store.items().value(0); }
};
} // namespace

// The whole capture path on the real X11 clipboard (the harness's Xvfb):
// xclip and the clipowner helper are the other applications.
class TestCaptureX11 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void offersOfOtherApplications();
    void slowAndOverlappingCopiesAreAllRecorded();
    void clipboardOutlivesItsOwner();
};

// Offers as other applications make them (text, links, pictures and files
// from xclip are in tst_acceptance).
void TestCaptureX11::offersOfOtherApplications() {
    // Neither what was there at start-up (as at Quillet's launch) nor a copy
    // made while history was off is recorded, not even at the next look.
    World w;
    w.owner = ClipboardOwner::xclip(QStringLiteral("UTF8_STRING"), "was there before");
    QVERIFY(w.owner->started());
    QTRY_VERIFY(w.pasteboard.changeCount() > 0);
    w.start();
    w.prefs.setClipboardEnabled(false);
    QVERIFY(w.copyText("off"));
    w.prefs.setClipboardEnabled(true);
    QTest::qWait(ClipboardMonitor::kFirstPollMs + ClipboardMonitor::kPollIntervalMs);
    QVERIFY(w.store.items().isEmpty());

    // Marked by a password manager or as transient: never recorded (the other
    // password-manager markers are mapped in tst_x11pasteboard).
    for (const QString& marker : {QStringLiteral("org.nspasteboard.ConcealedType=1"),
                                  QStringLiteral("org.nspasteboard.TransientType=1")}) {
        QVERIFY(w.copy([&] { return ClipboardOwner::offer({"text/plain=hunter2", marker}); }));
        QVERIFY2(w.store.items().isEmpty(), qPrintable(marker));
    }

    QVERIFY(w.copyText("plain ü"));
    // Some applications hand over their text with its C terminator: it is the
    // same text (the same row), and an offer of terminators alone is no text.
    QVERIFY(w.copyText(QByteArray("plain ü\0\0", 10)));
    QCOMPARE(w.store.items().size(), 1);
    QCOMPARE(w.newest().text, QStringLiteral("plain ü"));
    QVERIFY(w.copyText(QByteArray(2, '\0')));
    QCOMPARE(w.store.items().size(), 1);

    // Hostile pictures leave the history (and Quillet) alone.
    for (const QByteArray& bytes :
         {TestImages::pngBomb(20000, 20000), TestImages::truncatedPng()}) {
        QVERIFY(w.copy([&] { return ClipboardOwner::xclip(QStringLiteral("image/png"), bytes); }));
        QCOMPARE(w.store.items().size(), 1);
    }

    QVERIFY(w.copy([] {
        return ClipboardOwner::offer(
            {QStringLiteral("text/plain=bold"), QStringLiteral("text/rtf={\\rtf1 \\b bold}")});
    }));
    QCOMPARE(w.store.items().size(), 2);
    QCOMPARE(w.newest().kind, ClipKind::rtf);
    QFile rtf(w.newest().rtfPath.value_or(QString()));
    QVERIFY(rtf.open(QIODevice::ReadOnly));
    QCOMPARE(rtf.readAll(), QByteArray("{\\rtf1 \\b bold}"));
}

// Every change readable when its capture started is recorded, in order: an
// image still being converted when the next copy arrives, an owner that
// encodes on request (the main thread keeps running while it does: it has
// to, to tell the owner to go on), and a transfer that trickles for longer
// than a few seconds.
void TestCaptureX11::slowAndOverlappingCopiesAreAllRecorded() {
    World w;
    w.start();
    const QString big = w.file(QStringLiteral("big.png"), TestImages::png(2000, 1400, true));
    w.owner = ClipboardOwner::offer(
        {QStringLiteral("--then"), QStringLiteral("copied next"), "image/png=@" + big});
    QVERIFY(w.owner->started());
    QTRY_COMPARE_WITH_TIMEOUT(w.store.items().size(), 2, 20000);
    QCOMPARE(w.store.items().at(0).text, QStringLiteral("copied next"));
    QCOMPARE(w.store.items().at(1).kind, ClipKind::image);
    QCOMPARE(QImage(w.store.items().at(1).blobPath.value_or(QString())).size(), QSize(2000, 1400));

    const QString small = w.file(QStringLiteral("small.png"), TestImages::png(300, 200, true));
    w.owner = ClipboardOwner::offer({QStringLiteral("--wait"), "image/png=@" + small});
    QVERIFY(w.owner->started());
    QVERIFY(w.owner->printed("asked image/png"));
    w.owner->send("go");
    QTRY_COMPARE_WITH_TIMEOUT(w.newest().kind, ClipKind::image, 10000);
    QCOMPARE(QImage(w.newest().blobPath.value_or(QString())).size(), QSize(300, 200));

    const QString slow = w.file(QStringLiteral("slow.png"), TestImages::png(1000, 1000, true));
    w.owner = ClipboardOwner::offer(
        {QStringLiteral("--pace"), QStringLiteral("3000"), "image/png=@" + slow});
    QVERIFY(w.owner->started());
    QTRY_COMPARE_WITH_TIMEOUT(QImage(w.newest().blobPath.value_or(QString())).size(),
                              QSize(1000, 1000), 30000);
    QCOMPARE(w.store.items().size(), 4);
}

// Quillet as the session's clipboard manager: what the history recorded
// stays on the clipboard after the application that copied is gone, whether
// it quit and asked first (clipowner, a Qt application) or just vanished
// (xclip killed). What the history never had is not brought back.
void TestCaptureX11::clipboardOutlivesItsOwner() {
    World w;
    w.start();
    X11ClipboardManager role;
    ClipboardKeeper keeper(role, *w.monitor, w.store, w.pasteboard, w.prefs);
    QSignalSpy restored(&keeper, &ClipboardKeeper::restored);
    QVERIFY(role.claim());
    // A second manager finds the part taken and leaves it alone.
    X11ClipboardManager other;
    QVERIFY(!other.claim());
    QVERIFY(role.isClaimed());

    const auto utf8 = QStringLiteral("UTF8_STRING");
    // Quits at once: the monitor reads the offer while the application waits.
    w.owner = ClipboardOwner::offer(
        {QStringLiteral("text/plain=kept on quit"), QStringLiteral("text/html=<b>kept</b>")});
    QVERIFY(w.owner->started());
    w.owner->send("quit");
    QVERIFY(w.owner->exited());
    QTRY_COMPARE_WITH_TIMEOUT(ClipboardOwner::readBack(utf8), QByteArray("kept on quit"), 10000);
    QCOMPARE(restored.count(), 1);

    const QString png = w.file(QStringLiteral("kept.png"), TestImages::png(40, 30));
    QVERIFY(w.copy([&] { return ClipboardOwner::offer({"image/png=@" + png}); }));
    w.owner->kill();
    QTRY_COMPARE_WITH_TIMEOUT(restored.count(), 2, 10000);
    QCOMPARE(QImage::fromData(ClipboardOwner::readBack(PasteboardType::png)).size(), QSize(40, 30));

    QVERIFY(w.copy([] {
        return ClipboardOwner::offer({QStringLiteral("text/plain=hunter2"),
                                      QStringLiteral("x-kde-passwordManagerHint=secret")});
    }));
    w.owner->send("quit");
    QVERIFY(w.owner->exited());
    w.prefs.setClipboardEnabled(false);
    QVERIFY(w.copyText("while off"));
    w.owner->kill();
    w.prefs.setClipboardEnabled(true);
    QVERIFY(w.copyText("last"));
    w.owner->kill();
    QTRY_COMPARE_WITH_TIMEOUT(ClipboardOwner::readBack(utf8), QByteArray("last"), 10000);
    // Neither the secret nor the copy made while history was off came back.
    QCOMPARE(restored.count(), 3);
}

QTEST_MAIN(TestCaptureX11)
#include "tst_capturex11.moc"
