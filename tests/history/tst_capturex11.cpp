#include "app/Prefs.h"
#include "helpers/ClipboardOwner.h"
#include "helpers/TestImages.h"
#include "history/ClipStore.h"
#include "history/ClipboardMonitor.h"
#include "platform/freedesktop/JsonDefaultsStore.h"
#include "platform/freedesktop/XdgAutostartLoginItem.h"
#include "platform/x11/X11FrontmostApp.h"
#include "platform/x11/X11Pasteboard.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

// The whole capture path on the real X11 clipboard (the harness's Xvfb):
// xclip and the clipowner helper are the other applications.
class TestCaptureX11 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void contentPresentAtStartIsNotRecorded();
    void everyKindIsRecorded();
    void markedOffersAreNotRecorded();
    void copyWhileHistoryOffIsNeverRecorded();
    void hostileImagesLeaveHistoryAndQuilletAlone();

private:
    using Start = std::function<std::unique_ptr<ClipboardOwner>()>;
    // Lets another process take the clipboard and waits until the monitor has dealt with it.
    bool copy(const Start& start);
    QString file(const QString& name, const QByteArray& bytes);
    void startMonitor();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<JsonDefaultsStore> m_defaults;
    std::unique_ptr<XdgAutostartLoginItem> m_login;
    std::unique_ptr<Prefs> m_prefs;
    std::unique_ptr<ClipStore> m_store;
    std::unique_ptr<X11Pasteboard> m_pasteboard;
    std::unique_ptr<X11FrontmostApp> m_front;
    std::unique_ptr<ClipboardMonitor> m_monitor;
    std::unique_ptr<QSignalSpy> m_handled;
    std::unique_ptr<ClipboardOwner> m_owner;
};

void TestCaptureX11::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_defaults = std::make_unique<JsonDefaultsStore>(m_dir->filePath(QStringLiteral("d.json")));
    m_login = std::make_unique<XdgAutostartLoginItem>(m_dir->filePath(QStringLiteral("cfg")),
                                                      QStringList{}, QStringLiteral("quillet"));
    m_prefs = std::make_unique<Prefs>(*m_defaults, *m_login);
    m_store = std::make_unique<ClipStore>(m_dir->filePath(QStringLiteral("Quillet")), *m_prefs);
    m_pasteboard = std::make_unique<X11Pasteboard>();
    m_front = std::make_unique<X11FrontmostApp>();
}

void TestCaptureX11::startMonitor() {
    m_monitor = std::make_unique<ClipboardMonitor>(*m_pasteboard, *m_front, *m_store, *m_prefs);
    m_handled = std::make_unique<QSignalSpy>(m_monitor.get(), &ClipboardMonitor::changeHandled);
    m_monitor->start();
}

void TestCaptureX11::cleanup() {
    m_handled.reset();
    m_monitor.reset();
    m_owner.reset();
    m_front.reset();
    m_pasteboard.reset();
    m_store.reset();
}

bool TestCaptureX11::copy(const Start& start) {
    const qint64 before = m_pasteboard->changeCount();
    m_owner = start();
    if (!m_owner->started())
        return false;
    if (!QTest::qWaitFor([&] { return m_pasteboard->changeCount() > before; }, 5000))
        return false;
    const qint64 target = m_pasteboard->changeCount();
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
    const QString path = m_dir->filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

void TestCaptureX11::contentPresentAtStartIsNotRecorded() {
    m_owner = ClipboardOwner::xclip(QStringLiteral("UTF8_STRING"), "was there before");
    QVERIFY(m_owner->started());
    // The owner took over before the monitor exists (as at Quillet's launch).
    QTRY_VERIFY(m_pasteboard->changeCount() > 0);
    startMonitor();
    QTest::qWait(ClipboardMonitor::kFirstPollMs + ClipboardMonitor::kPollIntervalMs);
    QVERIFY(m_store->items().isEmpty());
    QVERIFY(copy([] { return ClipboardOwner::xclip(QStringLiteral("UTF8_STRING"), "new"); }));
    QCOMPARE(m_store->items().size(), 1);
    QCOMPARE(m_store->items().first().text, QStringLiteral("new"));
}

void TestCaptureX11::everyKindIsRecorded() {
    startMonitor();
    QVERIFY(copy([] { return ClipboardOwner::xclip(QStringLiteral("UTF8_STRING"), "plain ü"); }));
    QCOMPARE(m_store->items().first().kind, ClipKind::text);
    QCOMPARE(m_store->items().first().text, QStringLiteral("plain ü"));
    // Some applications hand over their text with its C terminator: it is the
    // same text (the same row), and an offer of terminators alone is no text.
    QVERIFY(copy([] {
        return ClipboardOwner::xclip(QStringLiteral("UTF8_STRING"), QByteArray("plain ü\0\0", 10));
    }));
    QCOMPARE(m_store->items().size(), 1);
    QCOMPARE(m_store->items().first().text, QStringLiteral("plain ü"));
    QVERIFY(copy(
        [] { return ClipboardOwner::xclip(QStringLiteral("UTF8_STRING"), QByteArray(2, '\0')); }));
    QCOMPARE(m_store->items().size(), 1);

    QVERIFY(copy([] {
        return ClipboardOwner::offer(
            {QStringLiteral("text/plain=bold"), QStringLiteral("text/rtf={\\rtf1 \\b bold}")});
    }));
    ClipItem item = m_store->items().first();
    QCOMPARE(item.kind, ClipKind::rtf);
    QFile rtf(item.rtfPath.value_or(QString()));
    QVERIFY(rtf.open(QIODevice::ReadOnly));
    QCOMPARE(rtf.readAll(), QByteArray("{\\rtf1 \\b bold}"));

    QVERIFY(copy([] {
        return ClipboardOwner::xclip(QStringLiteral("UTF8_STRING"), "  https://example.org/x  ");
    }));
    QCOMPARE(m_store->items().first().kind, ClipKind::link);
    QCOMPARE(m_store->items().first().text, QStringLiteral("  https://example.org/x  "));

    QVERIFY(copy([] {
        return ClipboardOwner::xclip(QStringLiteral("image/png"), TestImages::png(30, 20));
    }));
    item = m_store->items().first();
    QCOMPARE(item.kind, ClipKind::image);
    QCOMPARE(QImage(item.blobPath.value_or(QString()), "PNG").size(), QSize(30, 20));

    const QString png = file(QStringLiteral("a.png"), TestImages::png(64, 48));
    const QString tiff = file(QStringLiteral("a.tiff"), TestImages::tiff(8, 8));
    QVERIFY(copy([&] {
        return ClipboardOwner::offer({"image/tiff=@" + tiff, "image/png=@" + png});
    }));
    QCOMPARE(QImage(m_store->items().first().blobPath.value_or(QString()), "PNG").size(),
             QSize(64, 48));

    QVERIFY(copy([&] {
        return ClipboardOwner::offer({"text/uri-list=" + QUrl::fromLocalFile(png).toString() +
                                          "\r\n" + QUrl::fromLocalFile(tiff).toString() + "\r\n",
                                      "image/png=@" + png});
    }));
    item = m_store->items().first();
    QCOMPARE(item.kind, ClipKind::file);
    QCOMPARE(item.text, png + "\n" + tiff);
    QCOMPARE(item.filePath, png);
    QCOMPARE(m_store->items().size(), 6);
}

void TestCaptureX11::markedOffersAreNotRecorded() {
    startMonitor();
    for (const QString& marker : {QStringLiteral("org.nspasteboard.ConcealedType=1"),
                                  QStringLiteral("x-kde-passwordManagerHint=secret"),
                                  QStringLiteral("text/x-kde-passwordManagerHint=secret"),
                                  QStringLiteral("org.nspasteboard.TransientType=1")}) {
        QVERIFY(copy([&] { return ClipboardOwner::offer({"text/plain=hunter2", marker}); }));
        QVERIFY2(m_store->items().isEmpty(), qPrintable(marker));
    }
}

void TestCaptureX11::copyWhileHistoryOffIsNeverRecorded() {
    startMonitor();
    m_prefs->setClipboardEnabled(false);
    QVERIFY(copy([] { return ClipboardOwner::xclip(QStringLiteral("UTF8_STRING"), "off"); }));
    m_prefs->setClipboardEnabled(true);
    QTest::qWait(ClipboardMonitor::kFirstPollMs + ClipboardMonitor::kPollIntervalMs);
    QVERIFY(m_store->items().isEmpty());
}

void TestCaptureX11::hostileImagesLeaveHistoryAndQuilletAlone() {
    startMonitor();
    QVERIFY(copy([] { return ClipboardOwner::xclip(QStringLiteral("UTF8_STRING"), "keep me"); }));
    const ClipItemList before = m_store->items();
    for (const QByteArray& bytes :
         {TestImages::pngBomb(20000, 20000), TestImages::truncatedPng()}) {
        // The main thread keeps turning while the image is examined.
        QElapsedTimer clock;
        clock.start();
        qint64 last = 0;
        qint64 longestGap = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&] {
            longestGap = std::max(longestGap, clock.elapsed() - last);
            last = clock.elapsed();
        });
        ticker.start(10);
        QVERIFY(copy([&] { return ClipboardOwner::xclip(QStringLiteral("image/png"), bytes); }));
        QVERIFY2(longestGap < 500, qPrintable(QString::number(longestGap)));
        QCOMPARE(m_store->items(), before);
    }
    QVERIFY(copy([] { return ClipboardOwner::xclip(QStringLiteral("UTF8_STRING"), "next"); }));
    QCOMPARE(m_store->items().size(), 2);
}

QTEST_MAIN(TestCaptureX11)
#include "tst_capturex11.moc"
