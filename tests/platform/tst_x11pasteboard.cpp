#include "helpers/ClipboardOwner.h"
#include "platform/x11/X11ClipboardManager.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11PasteKeystroke.h"
#include "platform/x11/X11Pasteboard.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The other application is xclip or clipowner. Ordinary offers are read
// through the monitor in tst_capturex11, Quillet's own offer in tst_acceptance.
class TestX11Pasteboard : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void secretOfferIsNeverTransferred();
    void stuckOwnerCostsOneTimeout();
    void dataPastItsLimitIsNotTransferred_data();
    void dataPastItsLimitIsNotTransferred();
    void managerAndInjectorShareOneConnection();
};

void TestX11Pasteboard::secretOfferIsNeverTransferred() {
    // The text behind a marker must not even be fetched.
    X11Pasteboard pb;
    const qint64 before = pb.changeCount();
    auto owner = ClipboardOwner::offer(
        {QStringLiteral("text/plain=hunter2"), QStringLiteral("x-kde-passwordManagerHint=secret")});
    QVERIFY(owner->started());
    QTRY_VERIFY_WITH_TIMEOUT(pb.changeCount() > before, 5000);
    QVERIFY(pb.types().contains(PasteboardType::concealed));
    QVERIFY(!pb.string());
    QVERIFY(!pb.data(PasteboardType::string));
}

void TestX11Pasteboard::stuckOwnerCostsOneTimeout() {
    X11Pasteboard pb;
    const qint64 before = pb.changeCount();
    auto owner = ClipboardOwner::offer({QStringLiteral("--hang"), QStringLiteral("text/plain=x")});
    QVERIFY(owner->started());
    QTRY_VERIFY_WITH_TIMEOUT(pb.changeCount() > before, 5000);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(pb.types().isEmpty());
    QVERIFY(!pb.string());
    QVERIFY(!pb.fileUrls());
    QVERIFY(!pb.data(PasteboardType::png));
    const qint64 spent = clock.elapsed();
    QVERIFY2(spent < X11Pasteboard::kInactivityTimeout.count() + 1000,
             qPrintable(QString::number(spent)));

    // The next owner is read normally; an old application offering only
    // STRING means Latin-1 by it.
    const qint64 mid = pb.changeCount();
    auto next = ClipboardOwner::xclip(QStringLiteral("STRING"), "th\xe9irs");
    QVERIFY(next->started());
    QTRY_VERIFY_WITH_TIMEOUT(pb.changeCount() > mid, 5000);
    QCOMPARE(pb.string(), QStringLiteral("th\u00e9irs"));
}

// Refused data is never sent whole (the owner still serves the next request);
// an owner understating the size is stopped once the total passes the limit.
void TestX11Pasteboard::dataPastItsLimitIsNotTransferred_data() {
    QTest::addColumn<bool>("understate");
    QTest::newRow("size announced") << false;
    QTest::newRow("size understated") << true;
}

void TestX11Pasteboard::dataPastItsLimitIsNotTransferred() {
    QFETCH(bool, understate);
    X11Pasteboard pb;
    QTemporaryDir dir;
    QFile rtf(dir.filePath(QStringLiteral("big.rtf")));
    QVERIFY(rtf.open(QIODevice::WriteOnly));
    rtf.write("{\\rtf1 " + QByteArray(3 * 1024 * 1024, 'x') + "}");
    rtf.close();
    const qint64 before = pb.changeCount();
    QStringList args{QStringLiteral("--pace"), QStringLiteral("1000"),
                     QStringLiteral("text/rtf=@") + rtf.fileName(),
                     QStringLiteral("UTF8_STRING=small")};
    if (understate)
        args.prepend(QStringLiteral("--understate"));
    auto owner = ClipboardOwner::offer(args);
    QVERIFY(owner->started());
    QTRY_VERIFY_WITH_TIMEOUT(pb.changeCount() > before, 5000);
    QVERIFY(!pb.data(PasteboardType::rtf, 2 * 1024 * 1024 - 1));
    QCOMPARE(pb.string(), QStringLiteral("small"));
    QVERIFY(owner->printed("served UTF8_STRING"));
    QVERIFY(!owner->printed("served text/rtf", 0));
}

// Manager and keystroke injector share a connection: each gets its events, and
// going away gives back what it held.
void TestX11Pasteboard::managerAndInjectorShareOneConnection() {
    X11Connection display;
    auto keystroke = std::make_unique<X11PasteKeystroke>(display);
    auto manager = std::make_unique<X11ClipboardManager>(display);
    QVERIFY(keystroke->isAvailable());
    QSignalSpy gone(manager.get(), &ClipboardManagerRole::ownerGone);
    QVERIFY(manager->claim());

    auto owner = ClipboardOwner::xclip(QStringLiteral("UTF8_STRING"), "vanishing");
    QVERIFY(owner->started());
    QTRY_VERIFY_WITH_TIMEOUT(manager->clipboardHasOwner(), 5000);
    keystroke.reset();
    owner->kill();
    // Asking the server reads the owner's end into the queue before the loop sees it.
    QTRY_VERIFY_WITH_TIMEOUT(!manager->clipboardHasOwner(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(gone.count(), 1, 5000);

    X11ClipboardManager other;
    QVERIFY(!other.claim());
    manager.reset();
    QTRY_VERIFY_WITH_TIMEOUT(other.claim(), 5000);
}

QTEST_MAIN(TestX11Pasteboard)
#include "tst_x11pasteboard.moc"
