#include "helpers/ClipboardOwner.h"
#include "helpers/Offer.h"
#include "helpers/TempPrefs.h"
#include "helpers/TestImages.h"
#include "history/ClipImageEncoder.h"
#include "history/ClipStore.h"
#include "history/ClipText.h"
#include "history/ClipboardKeeper.h"
#include "history/ClipboardMonitor.h"
#include "platform/CapabilityReport.h"
#include "platform/FrontmostApp.h"
#include "platform/PlatformLoader.h"
#include "platform/null/MemoryPasteboard.h"
#include "settings/JsonDefaultsStore.h"
#include "thumbnails/Sha256.h"
#include "thumbnails/ThumbnailCache.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

#include <atomic>
#include <functional>
#include <memory>

namespace {
using Offer = OfferFormats;

// The in-process clipboard, counting what the monitor reads.
class CountingPasteboard : public MemoryPasteboard {
public:
    QStringList types() override {
        ++typeReads;
        return MemoryPasteboard::types();
    }
    std::optional<QByteArray> data(const QString& type, qint64 maxBytes = kNoLimit) override {
        dataReads.append(type);
        return MemoryPasteboard::data(type, maxBytes);
    }
    void set(const Offer& offer) {
        typeReads = 0;
        dataReads.clear();
        setMimeData(::offer(offer));
    }
    std::atomic<int> typeReads = 0;
    QStringList dataReads;
};

class FixedFrontmostApp : public FrontmostApp {
public:
    std::optional<FrontApp> frontmost() override { return app; }
    std::optional<FrontApp> app =
        FrontApp{QStringLiteral("org.example.Editor"), QStringLiteral("Editor")};
};

// A store, thumbnails and a monitor over one clipboard and front application.
template <class Board, class Front> struct Capture : TempPrefs {
    Capture(Board& board, Front& frontmost)
        : pasteboard(board)
        , front(frontmost) {}
    ClipStore store{dir.filePath(QStringLiteral("Quillet")), prefs};
    ThumbnailCache thumbnails{dir.filePath(QStringLiteral("Quillet/thumbs"))};
    Board& pasteboard;
    Front& front;
    std::unique_ptr<ClipboardMonitor> monitor;
    std::unique_ptr<QSignalSpy> handled;

    void start() {
        monitor = std::make_unique<ClipboardMonitor>(pasteboard, front, store, thumbnails, prefs);
        handled = std::make_unique<QSignalSpy>(monitor.get(), &ClipboardMonitor::changeHandled);
        monitor->start();
    }
    // Waits until the clipboard has changed since before and the monitor has dealt with it.
    bool handledSince(qint64 before) {
        if (!QTest::qWaitFor([&] { return pasteboard.changeCount() > before; }, 5000))
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
    ClipItem newest() const { return store.items().value(0); }
};

// Made before the capture that uses them, gone after it.
struct InProcess {
    CountingPasteboard board;
    FixedFrontmostApp frontmost;
};

struct Fixture : InProcess, Capture<CountingPasteboard, FixedFrontmostApp> {
    Fixture()
        : Capture(board, frontmost) {
        start();
    }
    bool copy(const Offer& offer) {
        const qint64 before = pasteboard.changeCount();
        pasteboard.set(offer);
        return handledSince(before);
    }
    bool copyText(const QString& s) { return copy({{PasteboardType::string, s.toUtf8()}}); }
};

// The session's own clipboard (X11 or Wayland, as the harness's tier runs),
// taken by another process.
struct Session {
    QTemporaryDir dir;
    JsonDefaultsStore defaults{dir.filePath(QStringLiteral("defaults.json"))};
    Platform platform = PlatformLoader::load(defaults);
};

struct World : Session, Capture<Pasteboard, FrontmostApp> {
    World()
        : Capture(*platform.pasteboard, *platform.frontmostApp) {}
    std::unique_ptr<ClipboardOwner> owner;

    bool copy(const std::function<std::unique_ptr<ClipboardOwner>()>& take) {
        const qint64 before = pasteboard.changeCount();
        owner = take();
        return owner->started() && handledSince(before);
    }
    bool copyText(const QByteArray& text) {
        return copy([&] { return ClipboardOwner::xclip(QStringLiteral("UTF8_STRING"), text); });
    }
};
} // namespace

// The monitor's rules on the in-process clipboard, then the whole capture path on
// the session's real clipboard, with the other applications of ClipboardOwner.
class TestCapture : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Excluded apps match exactly and are never read; no front app means no source.
    void skipRules() {
        Fixture f;
        f.front.app->id = QStringLiteral("1password");
        QVERIFY(f.copyText(QStringLiteral("s3cret")));
        QVERIFY(f.store.items().isEmpty());
        QCOMPARE(f.pasteboard.dataReads, QStringList{});
        f.front.app->id = QStringLiteral("1Password");
        QVERIFY(f.copyText(QStringLiteral("kept")));
        QCOMPARE(f.newest().sourceApp, QStringLiteral("1Password"));
        QCOMPARE(f.newest().sourceName, QStringLiteral("Editor"));
        f.front.app.reset();
        QVERIFY(f.copyText(QStringLiteral("no app")));
        QCOMPARE(f.newest().sourceApp, std::nullopt);
        QCOMPARE(f.store.items().size(), 2);
    }

    void textKinds_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("rtfSize"); // -1: no rich text offered
        QTest::addColumn<QString>("kind");
        QTest::newRow("link with spaces") << "  https://example.org/a?b=1 \n"
                                          << qsizetype(-1) << "link";
        QTest::newRow("link then word") << "https://example.org more" << qsizetype(-1) << "text";
        QTest::newRow("word then link") << "see https://example.org" << qsizetype(-1) << "text";
        QTest::newRow("no-break space inside") << "https://a\u00a0b" << qsizetype(-1) << "text";
        QTest::newRow("rich text just small enough") << "big" << qsizetype(2097151) << "rtf";
        QTest::newRow("rich text too large") << "big" << qsizetype(2097152) << "text";
        QTest::newRow("link keeps rich text") << "https://example.org" << qsizetype(50) << "link";
    }

    void textKinds() {
        QFETCH(QString, text);
        QFETCH(qsizetype, rtfSize);
        QFETCH(QString, kind);
        Fixture f;
        Offer offer{{PasteboardType::string, text.toUtf8()}};
        const QByteArray rtf =
            "{\\rtf1 " + QByteArray(std::max<qsizetype>(rtfSize - 8, 0), 'x') + "}";
        const bool rtfKept = rtfSize >= 0 && rtfSize < 2097152;
        if (rtfSize >= 0)
            offer.append({PasteboardType::rtf, rtf});
        QVERIFY(f.copy(offer));
        QCOMPARE(f.store.items().size(), 1);
        const ClipItem item = f.newest();
        QCOMPARE(clipKindText(item.kind), kind);
        QCOMPARE(item.text, text); // untrimmed
        QCOMPARE(item.rtfPath.has_value(), rtfKept);
    }

    void imagesAndFiles() {
        Fixture f;
        const QByteArray tiff = TestImages::tiff(40, 30);
        // Both offered: the PNG is the one read and stored.
        QVERIFY(f.copy(
            {{PasteboardType::tiff, tiff}, {PasteboardType::png, TestImages::png(120, 80)}}));
        QCOMPARE(f.pasteboard.dataReads, QStringList{PasteboardType::png});
        ClipItem item = f.newest();
        QCOMPARE(item.kind, ClipKind::image);
        QCOMPARE(QImage(*item.blobPath, "PNG").size(), QSize(120, 80));
        QVERIFY(f.copy({{PasteboardType::tiff, tiff}}));
        QCOMPARE(QImage(*f.newest().blobPath, "PNG").size(), QSize(40, 30));

        // Scaled down above the size limit; noise is stored uncompressed, its
        // preview made from the picture in memory.
        const QByteArray big = TestImages::png(4000, 1000, true);
        QVERIFY(f.copy({{PasteboardType::png,
                         TestImages::padded(big, ClipImageEncoder::kDownscaleAbove + 1)}}));
        QVERIFY(f.newest().downscaled);
        QCOMPARE(QImage(*f.newest().blobPath, "PNG").size(), QSize(2048, 512));
        QVERIFY(QFileInfo(*f.newest().blobPath).size() > 2048 * 512 * 4);
        QTRY_COMPARE_WITH_TIMEOUT(QImage(*f.newest().thumbPath).size(), QSize(640, 160), 10000);
        // Whatever is stored encodes to itself again: a scaled-down picture is
        // encoded once, and a picture copied back from the history keeps its
        // hash, which is that of the bytes (hashed in pieces as they are written).
        for (const ClipItem& stored : f.store.items()) {
            QFile blob(*stored.blobPath);
            const QByteArray bytes = blob.open(QIODevice::ReadOnly) ? blob.readAll() : "";
            QCOMPARE(ClipImageEncoder::png(QImage::fromData(bytes, "png")).value_or("-"), bytes);
            QCOMPARE(QFileInfo(blob).completeBaseName(), sha256Hex(bytes)); // named after it
        }

        // Files win over a picture offered beside them; the list is as copy back writes it.
        const QString a = f.file(QStringLiteral("shot one.png"), TestImages::png(900, 300));
        const QString b = f.dir.filePath(QStringLiteral("b.txt"));
        QVERIFY(f.copy({{PasteboardType::fileUrl, QUrl::fromLocalFile(a).toEncoded() + "\r\n" +
                                                      QUrl::fromLocalFile(b).toEncoded() + "\r\n"},
                        {PasteboardType::png, TestImages::png(5, 5)},
                        {PasteboardType::string, "names"}}));
        QCOMPARE(f.store.items().size(), 4);
        item = f.newest();
        QCOMPARE(item.kind, ClipKind::file);
        QCOMPARE(item.text, a + "\n" + b);
        QCOMPARE(item.filePath, a);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(*item.thumbPath), 10000);
        // Offered file URLs that cannot be read fall through to the next branch.
        QVERIFY(f.copy({{PasteboardType::fileUrl, {}}, {PasteboardType::string, "t"}}));
        QCOMPARE(f.newest().kind, ClipKind::text);
    }

    // Too long, undecodable or unreadable: nothing stored, only the last read again.
    void unusableOffersAreDroppedOrRetried() {
        Fixture f;
        QVERIFY(f.copyText(QString(ClipText::kMaxGraphemes + 1, u'a')));
        QCOMPARE(f.pasteboard.dataReads.count(PasteboardType::string), 1);
        QVERIFY(f.store.items().isEmpty());

        // Hostile pictures.
        for (const QByteArray& bytes :
             {QByteArray("not a picture at all"), TestImages::pngBomb(20000, 20000),
              TestImages::truncatedPng()}) {
            // Text beside it does not count: the image branch decided.
            QVERIFY(f.copy({{PasteboardType::png, bytes}, {PasteboardType::string, "alt text"}}));
            QVERIFY(f.store.items().isEmpty());
            QCOMPARE(f.pasteboard.typeReads, 1); // no retry
        }
        QVERIFY(f.copyText(QString(ClipText::kMaxGraphemes, u'a')));
        QCOMPARE(f.store.items().size(), 1);

        // Nothing readable: retried five times, and a pending retry goes with the monitor.
        QVERIFY(f.copy({{QStringLiteral("application/x-unknown"), "?"}}));
        QCOMPARE(f.pasteboard.typeReads, 1 + ClipboardMonitor::kRetries);
        QCOMPARE(f.store.items().size(), 1);
        f.pasteboard.set({{QStringLiteral("application/x-unknown"), "!"}});
        QTRY_VERIFY(f.pasteboard.typeReads >= 1);
        f.handled.reset();
        f.monitor.reset();
        const int reads = f.pasteboard.typeReads;
        QTest::qWait(2 * ClipboardMonitor::kRetryDelayMs);
        QCOMPARE(f.pasteboard.typeReads, reads);
    }

    void offersOfOtherApplications() {
        // Neither what was there at start-up nor a copy made while off is recorded, even later.
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

        // Marked secret, transient or generated: never recorded (other markers: tst_x11pasteboard).
        for (const QString& marker : {QStringLiteral("org.nspasteboard.ConcealedType=1"),
                                      QStringLiteral("org.nspasteboard.TransientType=1"),
                                      QStringLiteral("org.nspasteboard.AutoGeneratedType=1")}) {
            QVERIFY(w.copy([&] { return ClipboardOwner::offer({"text/plain=hunter2", marker}); }));
            QVERIFY2(w.store.items().isEmpty(), qPrintable(marker));
        }

        // Text with its C terminator is the same text; terminators alone are no text.
        QVERIFY(w.copyText(QByteArray("plain ü\0\0", 10)));
        QCOMPARE(w.newest().text, QStringLiteral("plain ü"));
        QVERIFY(w.copyText(QByteArray(2, '\0')));
        QCOMPARE(w.store.items().size(), 1);
    }

    // Every change is recorded, in order: an image still being converted when the next
    // copy arrives, an owner that encodes on request, a transfer trickling for seconds.
    void slowAndOverlappingCopiesAreAllRecorded() {
        World w;
        w.start();
        const QString big = w.file(QStringLiteral("big.png"), TestImages::png(2000, 1400, true));
        w.owner = ClipboardOwner::offer(
            {QStringLiteral("--then"), QStringLiteral("copied next"), "image/png=@" + big});
        QVERIFY(w.owner->started());
        QTRY_COMPARE_WITH_TIMEOUT(w.store.items().size(), 2, 20000);
        QCOMPARE(w.store.items().at(0).text, QStringLiteral("copied next"));
        QCOMPARE(w.store.items().at(1).kind, ClipKind::image);

        const QString slow = w.file(QStringLiteral("slow.png"), TestImages::png(1000, 1000, true));
        w.owner = ClipboardOwner::offer(
            {QStringLiteral("--pace"), QStringLiteral("3000"), "image/png=@" + slow});
        QVERIFY(w.owner->started());
        QTRY_COMPARE_WITH_TIMEOUT(QImage(w.newest().blobPath.value_or(QString())).size(),
                                  QSize(1000, 1000), 30000);
        QCOMPARE(w.store.items().size(), 3);
    }

    // What the session says it can do, as the settings and `quillet --status` show it.
    void sessionReportsWhatWorks() {
        Session s;
        const QList<Capability> rows = CapabilityReport::collect(s.platform);
        const auto row = [&](Capability::Id id) {
            return *std::find_if(rows.begin(), rows.end(),
                                 [id](const Capability& c) { return c.id == id; });
        };
        QCOMPARE(rows.size(), 5);
        using Id = Capability::Id;
        QVERIFY(row(Id::clipboard).available && row(Id::sourceApp).available);
        if (s.platform.name == u"x11"_qs) {
            QCOMPARE(row(Id::clipboard).how, u"X11 selections"_qs);
            QCOMPARE(row(Id::pasteDirectly).how, u"XTEST"_qs);
            QVERIFY(row(Id::globalShortcut).available);
        } else {
            QCOMPARE(s.platform.name, u"wayland"_qs);
            QCOMPARE(row(Id::clipboard).how, u"wlr-data-control-unstable-v1"_qs);
            QCOMPARE(row(Id::pasteDirectly).how, u"virtual keyboard"_qs);
            // No portal runs in the test session.
            QVERIFY(!row(Id::globalShortcut).available);
        }
        // Neither test session has a tray host.
        QVERIFY(!row(Id::tray).available);
        for (const Capability& c : rows)
            QVERIFY2(!c.reason.isEmpty() && c.available != c.how.isEmpty(),
                     qPrintable(CapabilityReport::title(c.id)));
        const QJsonObject json =
            QJsonDocument::fromJson(CapabilityReport::json(s.platform.name, rows)).object();
        QCOMPARE(json.value(u"platform"_qs).toString(), s.platform.name);
        QCOMPARE(json.value(u"capabilities"_qs).toArray().at(0)[u"id"_qs].toString(),
                 u"clipboard"_qs);
        QVERIFY(CapabilityReport::text(rows).contains(u"Clipboard history: yes, through "_qs));
    }

    // As the session's clipboard manager: what the history recorded stays on the clipboard
    // once its owner quit or vanished; what the history never had is not brought back.
    void clipboardOutlivesItsOwner() {
        World w;
        w.start();
        ClipboardManagerRole& role = *w.platform.clipboardManager;
        ClipboardKeeper keeper(role, *w.monitor, w.store, w.pasteboard, w.prefs);
        QSignalSpy restored(&keeper, &ClipboardKeeper::restored);
        QVERIFY(role.claim());

        const auto utf8 = QStringLiteral("UTF8_STRING");
        const QStringList keptOnQuit{QStringLiteral("text/plain=kept on quit"),
                                     QStringLiteral("text/html=<b>kept</b>")};
        if (w.platform.name == u"x11"_qs) {
            // Quits at once: the monitor reads the offer while the application waits.
            w.owner = ClipboardOwner::offer(keptOnQuit);
            QVERIFY(w.owner->started());
        } else {
            // Wayland has no such wait: what was recorded before the owner quit comes back.
            QVERIFY(w.copy([&] { return ClipboardOwner::offer(keptOnQuit); }));
        }
        w.owner->send("quit");
        QVERIFY(w.owner->exited());
        QTRY_COMPARE_WITH_TIMEOUT(ClipboardOwner::readBack(utf8), QByteArray("kept on quit"),
                                  10000);
        QCOMPARE(restored.count(), 1);

        const QString png = w.file(QStringLiteral("kept.png"), TestImages::png(40, 30));
        QVERIFY(w.copy([&] { return ClipboardOwner::offer({"image/png=@" + png}); }));
        w.owner->kill();
        QTRY_COMPARE_WITH_TIMEOUT(restored.count(), 2, 10000);
        QCOMPARE(QImage::fromData(ClipboardOwner::readBack(PasteboardType::png)).size(),
                 QSize(40, 30));

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
};

QTEST_MAIN(TestCapture)
#include "tst_capture.moc"
