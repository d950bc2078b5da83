#include "helpers/TempPrefs.h"
#include "history/CopyBack.h"
#include "platform/PasteKeystroke.h"
#include "platform/freedesktop/XdgAutostartLoginItem.h"
#include "platform/x11/X11PasteKeystroke.h"
#include "settings/JsonDefaultsStore.h"
#include "settings/Prefs.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {
using Log = QStringList;

// The order of hiding, clearing, writing, confirming and pasting cannot be
// seen on the real clipboard and keyboard (and this tier has no display), so
// both are recording doubles here. tst_copyback_x11 covers the real ones.
class RecordingPasteboard : public Pasteboard {
public:
    explicit RecordingPasteboard(Log& log)
        : m_log(log) {}
    qint64 changeCount() const override { return 0; }
    QStringList types() override { return {}; }
    std::optional<QByteArray> data(const QString&, qint64) override { return std::nullopt; }
    std::optional<QString> string() override { return std::nullopt; }
    std::optional<QList<QUrl>> fileUrls() override { return std::nullopt; }
    void clearContents() override {
        m_log << QStringLiteral("clear");
        written.reset();
    }
    void writeItem(const QList<PasteboardRepresentation>& reps) override {
        m_log << QStringLiteral("write");
        written = reps;
    }

    std::optional<QList<PasteboardRepresentation>> written;
    QStringList writtenTypes() const {
        QStringList types;
        for (const auto& rep : written.value_or(QList<PasteboardRepresentation>{}))
            types << rep.first;
        return types;
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
    // A mark in the log once any paste scheduled before now would have run.
    void markAfterPasteDelay() {
        QTimer::singleShot(CopyBack::pasteDelayMs + 50, [this] { log << QStringLiteral("mark"); });
    }
};

const QStringList textTypes{PasteboardType::string, PasteboardType::plainText};
} // namespace

class TestCopyBack : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void choosingInThePanel();
    void choosingInThePicker();
    void pasteNeedsTrust();
    void goneItemLeavesClipboardAlone();
    void noTrustOffX11();
};

void TestCopyBack::choosingInThePanel() {
    Fixture f;
    ClipItem item;
    item.text = QStringLiteral("x");

    // Not pasting: copied and confirmed, the panel stays, nothing follows.
    f.prefs.setPasteDirectly(false);
    f.copyBack.chooseItem(item, f.logs(QStringLiteral("toast")), f.logs(QStringLiteral("hide")));
    f.markAfterPasteDelay();
    QTRY_VERIFY_WITH_TIMEOUT(f.log.contains(QStringLiteral("mark")), 5000);
    QCOMPARE(f.log, (Log{"clear", "write", "toast", "mark"}));

    f.log.clear();
    f.prefs.setPasteDirectly(true);
    QElapsedTimer clock;
    clock.start();
    f.copyBack.chooseItem(item, f.logs(QStringLiteral("toast")), f.logs(QStringLiteral("hide")));
    QCOMPARE(f.log, (Log{"clear", "write", "toast", "hide"}));
    QTRY_COMPARE_WITH_TIMEOUT(f.keystroke.pastes, 1, 5000);
    QVERIFY(clock.elapsed() >= CopyBack::pasteDelayMs);
    QCOMPARE(f.log.constLast(), QStringLiteral("paste"));

    // Two quick choices paste twice.
    f.copyBack.chooseItem(item, {}, {});
    f.copyBack.chooseItem(item, {}, {});
    QTRY_COMPARE_WITH_TIMEOUT(f.keystroke.pastes, 3, 5000);
}

void TestCopyBack::choosingInThePicker() {
    Fixture f;
    ClipItem item;
    item.text = QStringLiteral("x");

    // The picker closes whether or not it pastes, and before the copy.
    f.prefs.setPasteDirectly(false);
    f.copyBack.pickItem(item, f.logs(QStringLiteral("hide")));
    f.markAfterPasteDelay();
    QTRY_VERIFY_WITH_TIMEOUT(f.log.contains(QStringLiteral("mark")), 5000);
    QCOMPARE(f.log, (Log{"hide", "clear", "write", "mark"}));

    f.log.clear();
    f.prefs.setPasteDirectly(true);
    f.copyBack.pickItem(item, f.logs(QStringLiteral("hide")));
    QTRY_COMPARE_WITH_TIMEOUT(f.keystroke.pastes, 1, 5000);
    QCOMPARE(f.log, (Log{"hide", "clear", "write", "paste"}));
}

void TestCopyBack::pasteNeedsTrust() {
    Fixture f;
    f.keystroke.available = false;
    f.prefs.setPasteDirectly(true);
    ClipItem item;
    item.text = QStringLiteral("x");
    QVERIFY(!f.copyBack.isTrusted());

    // Still copied and hidden; only the keys are missing.
    f.copyBack.chooseItem(item, {}, f.logs(QStringLiteral("hide")));
    f.markAfterPasteDelay();
    QTRY_VERIFY_WITH_TIMEOUT(f.log.contains(QStringLiteral("mark")), 5000);
    QCOMPARE(f.log, (Log{"clear", "write", "hide", "mark"}));
    QCOMPARE(f.pasteboard.writtenTypes(), textTypes);
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
    f.markAfterPasteDelay();
    QTRY_VERIFY_WITH_TIMEOUT(f.log.contains(QStringLiteral("mark")), 5000);
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
