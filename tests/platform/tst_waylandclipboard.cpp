// The Wayland clipboard and window list against a real compositor (the
// harness's headless sway), with wl-copy, wl-paste and wlowner as the other
// applications.
#include "helpers/ClipboardOwner.h"
#include "helpers/TestImages.h"
#include "platform/wayland/WaylandClipboard.h"
#include "platform/wayland/WaylandClipboardManager.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/WaylandFrontmostApp.h"
#include "platform/wayland/WaylandPasteboard.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <memory>

namespace {
// Quillet's clipboard on a connection of its own, as the platform makes it.
struct Session {
    std::unique_ptr<WaylandConnection> connection = WaylandConnection::connect();
    std::unique_ptr<WaylandClipboard> clipboard =
        connection ? WaylandClipboard::create(*connection) : nullptr;
    std::unique_ptr<WaylandFrontmostApp> frontmost =
        clipboard ? std::make_unique<WaylandFrontmostApp>(*connection, "com.ovo.quillet") : nullptr;
    std::unique_ptr<WaylandPasteboard> pasteboard =
        clipboard ? std::make_unique<WaylandPasteboard>(*clipboard) : nullptr;
    Session() {
        if (connection)
            connection->start();
    }
    ~Session() {
        pasteboard.reset();
        frontmost.reset();
        clipboard.reset();
    }
    bool changedSince(qint64 before) {
        return QTest::qWaitFor([&] { return pasteboard->changeCount() > before; }, 5000);
    }
};

// wl-copy in the foreground, holding the clipboard until it is replaced or stopped.
std::unique_ptr<QProcess> wlCopy(const QString& type, const QByteArray& bytes) {
    auto p = std::make_unique<QProcess>();
    p->start(QStringLiteral("wl-copy"),
             {QStringLiteral("--foreground"), QStringLiteral("-t"), type});
    p->write(bytes);
    p->closeWriteChannel();
    return p;
}

QStringList listed() {
    QProcess p;
    p.start(QStringLiteral("wl-paste"), {QStringLiteral("--list-types")});
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

std::unique_ptr<QMimeData> mime(const QList<std::pair<QString, QByteArray>>& formats) {
    auto m = std::make_unique<QMimeData>();
    for (const auto& [type, bytes] : formats)
        m->setData(type, bytes);
    return m;
}
} // namespace

class TestWaylandClipboard : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsOffersOfOtherApplications();
    void secretsAndStuckOwnersAreNeverWaitedFor();
    void servesItsOwnOffers();
    void hearsWhenTheOwnerLeaves();
    void frontmostIsTheLastOtherWindowActivated();
};

void TestWaylandClipboard::readsOffersOfOtherApplications() {
    const auto before = wlCopy(QStringLiteral("text/plain"), "there before");
    QTRY_VERIFY(listed().contains(u"text/plain"_qs));
    Session s;
    QVERIFY2(s.pasteboard, "the compositor gives no clipboard access");
    // What was there at start is the starting point, not a change; its types are known.
    QCOMPARE(s.pasteboard->changeCount(), 0);
    QVERIFY(s.pasteboard->types().contains(u"text/plain;charset=utf-8"_qs));
    QCOMPARE(s.pasteboard->string(), u"there before"_qs);

    const QByteArray png = TestImages::png(300, 200);
    const auto owner = wlCopy(QStringLiteral("image/png"), png);
    QVERIFY(s.changedSince(0));
    QCOMPARE(s.pasteboard->types(), QStringList{u"image/png"_qs});
    QCOMPARE(s.pasteboard->data(u"image/png"_qs), png);
    // Past the reader's limit the data is refused, not cut.
    QVERIFY(!s.pasteboard->data(u"image/png"_qs, png.size() - 1));
    QVERIFY(!s.pasteboard->string());

    // Several types at once, in an other application's own names.
    const qint64 count = s.pasteboard->changeCount();
    const auto several = ClipboardOwner::offer({u"UTF8_STRING=zwölf"_qs, u"text/rtf={\\rtf1 b}"_qs,
                                                u"text/uri-list=file:///tmp/a%20b"_qs});
    QVERIFY(several->started());
    QVERIFY(s.changedSince(count));
    QCOMPARE(s.pasteboard->string(), u"zwölf"_qs);
    QCOMPARE(s.pasteboard->data(u"text/rtf"_qs), QByteArray("{\\rtf1 b}"));
    QCOMPARE(s.pasteboard->fileUrls(), QList<QUrl>{QUrl::fromLocalFile(u"/tmp/a b"_qs)});
}

void TestWaylandClipboard::secretsAndStuckOwnersAreNeverWaitedFor() {
    Session s;
    QVERIFY(s.pasteboard);
    // A hanging owner would hold a read for the whole inactivity timeout:
    // returning at once shows that nothing was asked of it.
    for (const QString& marker :
         {u"org.nspasteboard.ConcealedType=1"_qs, u"x-kde-passwordManagerHint=secret"_qs}) {
        const qint64 before = s.pasteboard->changeCount();
        const auto owner = ClipboardOwner::offer({u"--hang"_qs, u"text/plain=hunter2"_qs, marker});
        QVERIFY(owner->started());
        QVERIFY(s.changedSince(before));
        QVERIFY(s.pasteboard->types().contains(PasteboardType::concealed));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!s.pasteboard->string());
        QVERIFY(!s.pasteboard->data(u"text/plain"_qs));
        QVERIFY2(clock.elapsed() < WaylandClipboard::kInactivityTimeout.count() / 2,
                 qPrintable(marker));
    }

    // A stuck owner costs one timeout per change, not one per read.
    const qint64 before = s.pasteboard->changeCount();
    const auto stuck = ClipboardOwner::offer({u"--hang"_qs, u"image/png=x"_qs, u"text/rtf=y"_qs});
    QVERIFY(stuck->started());
    QVERIFY(s.changedSince(before));
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!s.pasteboard->data(u"image/png"_qs));
    QVERIFY(clock.elapsed() >= WaylandClipboard::kInactivityTimeout.count() - 100);
    clock.restart();
    QVERIFY(!s.pasteboard->data(u"text/rtf"_qs));
    QVERIFY(s.pasteboard->types().isEmpty());
    QVERIFY(clock.elapsed() < WaylandClipboard::kInactivityTimeout.count() / 2);
    // The next owner is read as usual.
    const auto next = wlCopy(QStringLiteral("text/plain"), "after the stuck one");
    QVERIFY(s.changedSince(s.pasteboard->changeCount()));
    QCOMPARE(s.pasteboard->string(), u"after the stuck one"_qs);
}

void TestWaylandClipboard::servesItsOwnOffers() {
    Session s;
    QVERIFY(s.pasteboard);
    // Large enough to need many turns of a pipe, whatever its size.
    const QByteArray png = TestImages::padded(TestImages::png(64, 64), 6 * 1024 * 1024);
    const QByteArray uris = "file:///tmp/one%20two.png\r\n";
    qint64 before = s.pasteboard->changeCount();
    s.pasteboard->setMimeData(mime({{PasteboardType::string, "zwölf"},
                                    {PasteboardType::plainText, "zwölf"},
                                    {PasteboardType::png, png},
                                    {PasteboardType::fileUrl, uris}}));
    // Quillet's own offer is a change like any other.
    QVERIFY(s.changedSince(before));
    for (const QString& type :
         {u"text/plain"_qs, u"text/plain;charset=utf-8"_qs, u"UTF8_STRING"_qs, u"TEXT"_qs})
        QCOMPARE(ClipboardOwner::readBack(type), u"zwölf"_qs.toUtf8());
    QCOMPARE(ClipboardOwner::readBack(PasteboardType::fileUrl), uris);
    // Read back by Quillet itself too, through the compositor.
    QCOMPARE(s.pasteboard->data(PasteboardType::png), png);

    // A reader that stops reading holds neither the other readers nor Quillet.
    QProcess stalled;
    stalled.start(QStringLiteral("sh"),
                  {QStringLiteral("-c"), QStringLiteral("wl-paste -t image/png | sleep 30")});
    QVERIFY(stalled.waitForStarted());
    QTest::qWait(300);
    // (Far quicker than the stalled writer's timeout.)
    QCOMPARE(ClipboardOwner::readBack(u"text/plain"_qs, 2000), u"zwölf"_qs.toUtf8());
    stalled.kill();
    stalled.waitForFinished();

    // An empty offer owns the clipboard with nothing in it.
    before = s.pasteboard->changeCount();
    s.pasteboard->clearContents();
    QVERIFY(s.changedSince(before));
    QVERIFY(listed().isEmpty());
    QVERIFY(s.clipboard->hasOffer());
}

void TestWaylandClipboard::hearsWhenTheOwnerLeaves() {
    Session s;
    QVERIFY(s.clipboard);
    WaylandClipboardManager role(*s.clipboard);
    QSignalSpy gone(&role, &ClipboardManagerRole::ownerGone);
    QVERIFY(role.claim());
    const qint64 before = s.pasteboard->changeCount();
    auto owner = wlCopy(QStringLiteral("text/plain"), "soon gone");
    QVERIFY(s.changedSince(before));
    QVERIFY(role.clipboardHasOwner());
    QCOMPARE(gone.count(), 0);
    const qint64 count = s.pasteboard->changeCount();
    owner->kill();
    QTRY_COMPARE(gone.count(), 1);
    QVERIFY(!role.clipboardHasOwner());
    // Nothing to read is no change to record.
    QCOMPARE(s.pasteboard->changeCount(), count);
    // Quillet's own offer leaving when it replaces it is no owner leaving.
    s.pasteboard->setMimeData(mime({{PasteboardType::plainText, "a"}}));
    s.pasteboard->setMimeData(mime({{PasteboardType::plainText, "b"}}));
    QTRY_COMPARE(ClipboardOwner::readBack(u"text/plain"_qs), QByteArray("b"));
    QCOMPARE(gone.count(), 1);
}

void TestWaylandClipboard::frontmostIsTheLastOtherWindowActivated() {
    // The application's desktop entry gives its name.
    const QString apps = QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
    QVERIFY(QDir().mkpath(apps));
    QFile entry(apps + u"/org.example.Probe.desktop"_qs);
    QVERIFY(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nType=Application\nName=Key Probe\nExec=keyprobe\n");
    entry.close();

    Session s;
    QVERIFY(s.frontmost && s.frontmost->isAvailable());
    QVERIFY(!s.frontmost->frontmost());
    QProcess probe;
    probe.start(QStringLiteral(KEYPROBE_PATH), {u"org.example.Probe"_qs});
    QTRY_VERIFY_WITH_TIMEOUT(s.frontmost->frontmost().has_value(), 10000);
    const FrontApp app = *s.frontmost->frontmost();
    QCOMPARE(app.id, u"org.example.Probe"_qs);
    QCOMPARE(app.name, u"Key Probe"_qs);

    // (Quillet's own window in front never hides it: tst_waylandpaste.)
    probe.kill();
    probe.waitForFinished();
    QTRY_VERIFY(!s.frontmost->frontmost());
    // An app_id with no entry is its own id and name.
    QCOMPARE(s.frontmost->resolve(u"Some.Tool"_qs).name, u"Some.Tool"_qs);
}

QTEST_MAIN(TestWaylandClipboard)
#include "tst_waylandclipboard.moc"
