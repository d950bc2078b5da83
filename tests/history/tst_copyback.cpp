#include "helpers/TempPrefs.h"
#include "history/CopyBack.h"
#include "platform/PasteKeystroke.h"
#include "platform/null/MemoryPasteboard.h"
#include "platform/x11/X11PasteKeystroke.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {
using Log = QStringList;

// The order of hiding, clearing, writing, confirming and pasting cannot be
// seen on the real clipboard and keyboard (and this tier has no display), so
// both log what they are asked here. tst_copyback_x11 covers the real ones.
class RecordingPasteboard : public MemoryPasteboard {
public:
    explicit RecordingPasteboard(Log& log)
        : m_log(log) {}
    void clearContents() override {
        m_log << QStringLiteral("clear");
        MemoryPasteboard::clearContents();
    }
    void writeItem(const QList<PasteboardRepresentation>& reps) override {
        m_log << QStringLiteral("write");
        MemoryPasteboard::writeItem(reps);
    }

private:
    Log& m_log;
};

class RecordingKeystroke : public PasteKeystroke {
public:
    explicit RecordingKeystroke(Log& log)
        : m_log(log) {}
    bool isAvailable() const override { return available; }
    void rememberActiveWindow() override { m_log << QStringLiteral("remember"); }
    void sendPaste() override {
        m_log << QStringLiteral("paste");
        ++pastes;
    }
    bool available = true;
    int pastes = 0;

private:
    Log& m_log;
};

struct Fixture : TempPrefs {
    Log log;
    RecordingPasteboard pasteboard{log};
    RecordingKeystroke keystroke{log};
    CopyBack copyBack{pasteboard, keystroke, prefs};

    std::function<void()> logs(const QString& what) {
        return [this, what] {
            log << what;
        };
    }
    // Waits until any paste scheduled before now would have run, marking the log.
    bool waitPastPasteDelay() {
        QTimer::singleShot(CopyBack::pasteDelayMs + 50, [this] { log << QStringLiteral("mark"); });
        return QTest::qWaitFor([this] { return log.contains(QStringLiteral("mark")); }, 5000);
    }
};
} // namespace

class TestCopyBack : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void choosing_data();
    void choosing();
    void goneItemLeavesClipboardAlone();
    void noTrustOffX11();
};

void TestCopyBack::choosing_data() {
    QTest::addColumn<bool>("picker");
    QTest::addColumn<bool>("pasteDirectly");
    QTest::addColumn<bool>("trusted");
    QTest::addColumn<Log>("expected");
    // The panel stays unless it pastes; the picker closes either way, before the copy.
    QTest::newRow("panel, copy") << false << false << true
                                 << Log{"clear", "write", "toast", "mark"};
    QTest::newRow("panel, paste") << false << true << true
                                  << Log{"clear", "write", "toast", "hide", "paste", "mark"};
    // Without the right to send keys: still copied and hidden; only the keys are missing.
    QTest::newRow("panel, paste, no trust")
        << false << true << false << Log{"clear", "write", "toast", "hide", "mark"};
    QTest::newRow("picker, copy") << true << false << true << Log{"hide", "clear", "write", "mark"};
    QTest::newRow("picker, paste")
        << true << true << true << Log{"hide", "clear", "write", "paste", "mark"};
}

void TestCopyBack::choosing() {
    QFETCH(bool, picker);
    QFETCH(bool, pasteDirectly);
    QFETCH(bool, trusted);
    QFETCH(Log, expected);
    Fixture f;
    f.prefs.setPasteDirectly(pasteDirectly);
    f.keystroke.available = trusted;
    QCOMPARE(f.copyBack.isTrusted(), trusted);
    ClipItem item;
    item.text = QStringLiteral("x");
    QElapsedTimer clock;
    clock.start();
    if (picker)
        f.copyBack.pickItem(item, f.logs(QStringLiteral("hide")));
    else
        f.copyBack.chooseItem(item, f.logs(QStringLiteral("toast")),
                              f.logs(QStringLiteral("hide")));
    QVERIFY(f.waitPastPasteDelay());
    QCOMPARE(f.log, expected);
    QCOMPARE(f.pasteboard.types(),
             (QStringList{PasteboardType::string, PasteboardType::plainText}));
    if (f.keystroke.pastes == 0)
        return;
    QVERIFY(clock.elapsed() >= CopyBack::pasteDelayMs);
    // Two quick choices paste twice.
    f.copyBack.chooseItem(item, {}, {});
    f.copyBack.chooseItem(item, {}, {});
    QTRY_COMPARE_WITH_TIMEOUT(f.keystroke.pastes, 3, 5000);
}

// An item whose file is gone: the clipboard keeps what it held, the user
// hears why, and neither the panel nor the picker pastes the old content.
void TestCopyBack::goneItemLeavesClipboardAlone() {
    Fixture f;
    f.prefs.setPasteDirectly(true);
    QSignalSpy failed(&f.copyBack, &CopyBack::copyFailed);
    ClipItem image;
    image.kind = ClipKind::image;
    image.blobPath = f.dir.filePath(QStringLiteral("gone.png"));
    ClipItem files;
    files.kind = ClipKind::file;
    files.filePath = f.dir.filePath(QStringLiteral("gone.txt"));
    files.text = *files.filePath + QStringLiteral("\n/also/gone");

    f.copyBack.chooseItem(image, f.logs(QStringLiteral("toast")), f.logs(QStringLiteral("hide")));
    f.copyBack.pickItem(files, f.logs(QStringLiteral("hide")));
    // The quick picker copies and pastes through two separate calls.
    QVERIFY(!f.copyBack.copyToPasteboard(image));
    f.copyBack.pasteToFrontmostApp();
    QVERIFY(f.waitPastPasteDelay());
    QCOMPARE(f.log, (Log{"hide", "mark"}));
    QCOMPARE(failed.count(), 3);
    QCOMPARE(failed.first().first().toString(), CopyBack::copyFailedMessage);
}

// Without an X11 display (this tier has none) the real keystroke reports no
// trust and ignores every request instead of failing.
void TestCopyBack::noTrustOffX11() {
    X11PasteKeystroke keystroke;
    QVERIFY(!keystroke.isAvailable());
    keystroke.rememberActiveWindow();
    keystroke.sendPaste();
    QCOMPARE(keystroke.rememberedWindow(), 0u);
}

QTEST_GUILESS_MAIN(TestCopyBack)
#include "tst_copyback.moc"
