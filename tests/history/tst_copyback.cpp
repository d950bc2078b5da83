#include "app/Prefs.h"
#include "history/CopyBack.h"
#include "platform/PasteKeystroke.h"
#include "platform/freedesktop/JsonDefaultsStore.h"
#include "platform/freedesktop/XdgAutostartLoginItem.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {
using Log = QStringList;

// The unit tier runs without a display, so the clipboard and the keyboard are
// recording doubles here; they also show the order of clear and write calls,
// which the real clipboard cannot. The X11 tier reads the real clipboard back.
class RecordingPasteboard : public Pasteboard {
public:
    explicit RecordingPasteboard(Log& log)
        : m_log(log) {}
    qint64 changeCount() const override { return 0; }
    QStringList types() override { return {}; }
    std::optional<QByteArray> data(const QString&) override { return std::nullopt; }
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

struct Fixture {
    QTemporaryDir dir;
    JsonDefaultsStore defaults{dir.filePath(QStringLiteral("defaults.json"))};
    XdgAutostartLoginItem login{dir.filePath(QStringLiteral("cfg")),
                                {dir.filePath(QStringLiteral("etc"))},
                                QStringLiteral("quillet")};
    Prefs prefs{defaults, login};
    Log log;
    RecordingPasteboard pasteboard{log};
    RecordingKeystroke keystroke{log};
    CopyBack copyBack{pasteboard, keystroke, prefs};

    QString file(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
        return path;
    }
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

QByteArray pngBytes(QSize size) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(QColor(10, 200, 30, 255));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

const QStringList textTypes{PasteboardType::string, PasteboardType::plainText};
const QStringList fileTypes =
    QStringList{PasteboardType::fileUrl, PasteboardType::gnomeCopiedFiles} + textTypes;
} // namespace

class TestCopyBack : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void itemRepresentations_data();
    void itemRepresentations();
    void screenshotRepresentations_data();
    void screenshotRepresentations();
    void choosingInThePanel();
    void choosingInThePicker();
    void pasteNeedsTrust();
};

// Each operation clears first, then offers its kind's representations with
// the right bytes; unreadable side files drop only what they would have given.
void TestCopyBack::itemRepresentations_data() {
    QTest::addColumn<ClipKind>("kind");
    QTest::addColumn<QString>("text"); // null: absent
    QTest::addColumn<QString>("rtf");  // "", "present", "missing"
    QTest::addColumn<QString>("blob"); // "", "png", "corrupt", "missing"
    QTest::addColumn<QString>("file"); // a path, or null
    QTest::addColumn<bool>("written");
    QTest::addColumn<QStringList>("types");

    const QString none;
    const QString odd = QStringLiteral("/tmp/dir ä/a b#1%20?.txt");
    const QStringList rtfTypes = textTypes + QStringList{PasteboardType::rtf};
    const QStringList image{PasteboardType::png, PasteboardType::tiff};
    QTest::newRow("text") << ClipKind::text << "héllo\nwörld"
                          << ""
                          << "" << none << true << textTypes;
    QTest::newRow("rich text") << ClipKind::rtf << "hi"
                               << "present"
                               << "" << none << true << rtfTypes;
    QTest::newRow("rich text, side file gone") << ClipKind::rtf << "hi"
                                               << "missing"
                                               << "" << none << true << textTypes;
    QTest::newRow("link") << ClipKind::link << "https://example.org/?a=1"
                          << ""
                          << "" << none << true << textTypes;
    QTest::newRow("link with rich text") << ClipKind::link << "https://example.org"
                                         << "present"
                                         << "" << none << true << rtfTypes;
    QTest::newRow("text with nothing in it") << ClipKind::text << none << ""
                                             << "" << none << true << QStringList{};
    QTest::newRow("image") << ClipKind::image << none << ""
                           << "png" << none << true << image;
    QTest::newRow("image that does not decode")
        << ClipKind::image << none << ""
        << "corrupt" << none << true << QStringList{PasteboardType::png};
    QTest::newRow("image, blob gone") << ClipKind::image << none << ""
                                      << "missing" << none << false << QStringList{};
    QTest::newRow("image without blob") << ClipKind::image << none << ""
                                        << "" << none << false << QStringList{};
    QTest::newRow("file") << ClipKind::file << "/a\n/b"
                          << ""
                          << "" << odd << true << fileTypes;
    QTest::newRow("file as text only") << ClipKind::file << "/only/text"
                                       << ""
                                       << "" << none << true << textTypes;
    QTest::newRow("file with nothing") << ClipKind::file << none << ""
                                       << "" << none << false << QStringList{};
}

void TestCopyBack::itemRepresentations() {
    QFETCH(ClipKind, kind);
    QFETCH(QString, text);
    QFETCH(QString, rtf);
    QFETCH(QString, blob);
    QFETCH(QString, file);
    QFETCH(bool, written);
    QFETCH(QStringList, types);

    Fixture f;
    const QByteArray rtfBytes = "{\\rtf1\\ansi hi}";
    const QByteArray png =
        blob == QLatin1String("corrupt") ? QByteArray("\x89PNG broken") : pngBytes(QSize(7, 5));
    ClipItem item;
    item.kind = kind;
    if (!text.isNull())
        item.text = text;
    if (!rtf.isEmpty())
        item.rtfPath = f.file(QStringLiteral("r.rtf"), rtfBytes);
    if (!blob.isEmpty())
        item.blobPath = f.file(QStringLiteral("b.png"), png);
    if (rtf == QLatin1String("missing"))
        QFile::remove(*item.rtfPath);
    if (blob == QLatin1String("missing"))
        QFile::remove(*item.blobPath);
    if (!file.isNull())
        item.filePath = file;

    // Something stale on the clipboard must not survive any outcome.
    f.pasteboard.writeItem({{PasteboardType::string, "stale"}});
    f.log.clear();
    f.copyBack.copyToPasteboard(item);

    QCOMPARE(f.log, (written ? Log{"clear", "write"} : Log{"clear"}));
    QCOMPARE(f.pasteboard.writtenTypes(), types);
    for (const auto& [type, bytes] :
         f.pasteboard.written.value_or(QList<PasteboardRepresentation>{})) {
        if (textTypes.contains(type))
            QCOMPARE(QString::fromUtf8(bytes), file.isNull() ? text : file);
        else if (type == PasteboardType::rtf)
            QCOMPARE(bytes, rtfBytes);
        else if (type == PasteboardType::png)
            QCOMPARE(bytes, png);
        else if (type == PasteboardType::tiff)
            QCOMPARE(QImage::fromData(bytes, "TIFF").size(), QSize(7, 5));
        else if (type == PasteboardType::fileUrl)
            QCOMPARE(QUrl::fromEncoded(bytes.trimmed()).toLocalFile(), file);
        else if (type == PasteboardType::gnomeCopiedFiles)
            QCOMPARE(bytes, "copy\n" + QUrl::fromLocalFile(file).toEncoded());
    }
}

void TestCopyBack::screenshotRepresentations_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<bool>("fileOnly");
    QTest::addColumn<QStringList>("types");

    const QStringList withImage =
        fileTypes + QStringList{PasteboardType::png, PasteboardType::tiff};
    QTest::newRow("png") << "Screenshot from 2026-01-02 10-11-12.png" << true << false << withImage;
    QTest::newRow("upper-case PNG") << "Shot.PNG" << true << false << withImage;
    QTest::newRow("jpeg") << "Shot.jpg" << true << false << fileTypes;
    QTest::newRow("png gone") << "Gone.png" << false << false << fileTypes;
    QTest::newRow("file only") << "Shot #2.png" << true << true << fileTypes;
}

void TestCopyBack::screenshotRepresentations() {
    QFETCH(QString, name);
    QFETCH(bool, exists);
    QFETCH(bool, fileOnly);
    QFETCH(QStringList, types);

    Fixture f;
    const QString path = f.file(name, pngBytes(QSize(4, 4)));
    if (!exists)
        QFile::remove(path);
    const QUrl url = QUrl::fromLocalFile(path);
    if (fileOnly)
        f.copyBack.copyFileOnly(url);
    else
        f.copyBack.copyScreenshot(url);
    QCOMPARE(f.log, (Log{"clear", "write"}));
    QCOMPARE(f.pasteboard.writtenTypes(), types);
    QCOMPARE(QUrl::fromEncoded(f.pasteboard.written->at(0).second.trimmed()).toLocalFile(), path);
}

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

QTEST_GUILESS_MAIN(TestCopyBack)
#include "tst_copyback.moc"
