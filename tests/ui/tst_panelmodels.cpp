// The panel's and the quick picker's pieces below the views: search filter,
// clip list model, row texts, placement, tab state and application icons.
#include "helpers/TempPrefs.h"
#include "history/ClipStore.h"
#include "platform/freedesktop/DesktopEntryIndex.h"
#include "thumbnails/Sha256.h"
#include "ui/AppIcons.h"
#include "ui/PanelFormat.h"
#include "ui/WindowPlacement.h"
#include "ui/panel/ClipFilter.h"
#include "ui/panel/ClipListModel.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QIcon>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {
ClipItem clip(qint64 id, std::optional<QString> text, bool pinned = false,
              ClipKind kind = ClipKind::text) {
    ClipItem item;
    item.id = id;
    item.kind = kind;
    item.text = std::move(text);
    item.pinned = pinned;
    return item;
}

QList<qint64> ids(const ClipItemList& items) {
    QList<qint64> out;
    for (const ClipItem& i : items)
        out << i.id;
    return out;
}
} // namespace

class TestPanelModels : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void filterTokens_data();
    void filterTokens();
    void clipListModel();
    void rowTitles_data();
    void rowTitles();
    void metaAndDates();
    void placement_data();
    void placement();
    void applicationIconsFromDesktopEntries();
};

void TestPanelModels::filterTokens_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<QList<qint64>>("expected");
    // 1: text; 2: image from an app; 3: a file; 4: text with a tab inside.
    QTest::newRow("order free, case folded, double space")
        << QStringLiteral("WORLD  hello") << QList<qint64>{1};
    QTest::newRow("app name finds its images") << QStringLiteral("firefox") << QList<qint64>{1, 2};
    QTest::newRow("app display name") << QStringLiteral("browser") << QList<qint64>{1, 2};
    QTest::newRow("file path") << QStringLiteral("/reports/q3") << QList<qint64>{3};
    QTest::newRow("every token must match") << QStringLiteral("hello nowhere") << QList<qint64>{};
    QTest::newRow("tab stays inside a token") << QStringLiteral("a\tb") << QList<qint64>{4};
}

void TestPanelModels::filterTokens() {
    QFETCH(QString, query);
    QFETCH(QList<qint64>, expected);
    ClipItem text = clip(1, QStringLiteral("Hello big World"));
    text.sourceApp = QStringLiteral("org.mozilla.firefox");
    text.sourceName = QStringLiteral("Firefox Web Browser");
    ClipItem image = clip(2, std::nullopt, false, ClipKind::image);
    image.sourceApp = QStringLiteral("org.mozilla.firefox");
    image.sourceName = QStringLiteral("Firefox Web Browser");
    ClipItem file = clip(3, QStringLiteral("/home/u/Reports/Q3.pdf"), false, ClipKind::file);
    file.filePath = QStringLiteral("/home/u/Reports/Q3.pdf");
    ClipItem tabbed = clip(4, QStringLiteral("a\tb"));
    QCOMPARE(ids(filterClips({text, image, file, tabbed}, query)), expected);
}

// The clip list over a real store, under Qt's model checker, which fails the
// test on any broken row or reset bookkeeping.
void TestPanelModels::clipListModel() {
    TempPrefs prefs;
    ClipStore store(prefs.dir.filePath(QStringLiteral("Quillet")), prefs.prefs);
    ClipListModel clips(store);
    QAbstractItemModelTester clipsTester(&clips,
                                         QAbstractItemModelTester::FailureReportingMode::QtTest);
    const auto rows = [&clips] {
        QStringList out;
        for (int row = 0; row < clips.rowCount(); ++row)
            out << clips.data(clips.index(row), Qt::DisplayRole).toString();
        return out;
    };
    const auto add = [&store](const QString& text) {
        store.record({.hash = sha256Hex(("text:" + text).toUtf8()), .text = text});
    };
    QSignalSpy inserted(&clips, &QAbstractItemModel::rowsInserted);
    // No pins: rows only, no headers.
    add(QStringLiteral("hay"));
    add(QStringLiteral("needle"));
    QCOMPARE(rows(), (QStringList{"needle", "hay"}));
    // Each copy inserted its one row at the top (no reset), once.
    QCOMPARE(inserted.size(), 2);
    QCOMPARE(inserted.last().mid(1), (QVariantList{0, 0}));
    // Pinned first under "PINNED", the rest under "HISTORY".
    store.setPinned(store.items().constLast().id, true);
    QCOMPARE(rows(), (QStringList{"PINNED", "hay", "HISTORY", "needle"}));
    // A search matching only pinned items keeps an empty history header.
    clips.setQuery(QStringLiteral("hay"));
    QCOMPARE(rows(), (QStringList{"PINNED", "hay", "HISTORY"}));
    QCOMPARE(clips.clipCount(), 1);
    store.clear();
    clips.setQuery({});
    store.deleteItem(store.items().constFirst());
    QCOMPARE(clips.rowCount(), 0);
}

void TestPanelModels::rowTitles_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("filePath");
    QTest::addColumn<QString>("row");
    QTest::newRow("text trimmed of blank lines")
        << int(ClipKind::text) << "\n\n  \tfirst line\nsecond\n\n"
        << QString() << "first line\nsecond";
    QTest::newRow("several files name the first") << int(ClipKind::file) << "/a/one.txt\n/b/two.txt"
                                                  << "/a/one.txt"
                                                  << "one.txt";
    QTest::newRow("file without path uses text")
        << int(ClipKind::file) << "/x/y.png" << QString() << "/x/y.png";
    QTest::newRow("file with nothing") << int(ClipKind::file) << QString() << QString() << "File";
}

void TestPanelModels::rowTitles() {
    QFETCH(int, kind);
    QFETCH(QString, text);
    QFETCH(QString, filePath);
    ClipItem item =
        clip(1, text.isNull() ? std::nullopt : std::optional(text), false, ClipKind(kind));
    if (!filePath.isNull())
        item.filePath = filePath;
    QTEST(clipRowTitle(item), "row");
}

void TestPanelModels::metaAndDates() {
    const QDateTime now(QDate(2026, 3, 4), QTime(15, 7, 30));
    ClipItem item = clip(1, "x");
    item.createdAt = now.addDays(-400).toMSecsSinceEpoch() / 1000.0;
    item.sourceName = QStringLiteral("Files");
    item.downscaled = true;
    QCOMPARE(clipMetaText(item, now), QStringLiteral("Files \u00B7 1 yr. ago \u00B7 downscaled"));
    // A file that cannot be read is labelled with its name without extension.
    QCOMPARE(screenshotDateLabel(QUrl::fromLocalFile("/nonexistent/Shot 1.2.png"), now),
             QStringLiteral("Shot 1.2"));
}

// Both windows' origins. For the panel, `anchor` is the tray item (empty: no
// fresh tray click); the picker ignores it and opens at the pointer.
void TestPanelModels::placement_data() {
    QTest::addColumn<bool>("picker");
    QTest::addColumn<QRect>("anchor");
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<QList<ScreenArea>>("screens");
    QTest::addColumn<QPoint>("origin");
    // A 1920 × 1080 screen with a 30 px top bar, a second one to its right;
    // the panel is 460 × 560, the picker 332 × 248.
    const ScreenArea main{{0, 0, 1920, 1080}, {0, 30, 1920, 1050}};
    const ScreenArea right{{1920, 0, 1280, 1024}, {1920, 0, 1280, 1024}};
    const ScreenArea rightWithBar{{1920, 0, 1280, 1024}, {1920, 30, 1280, 994}};
    const ScreenArea rightWithDock{{1920, 0, 1280, 1024}, {1920, 0, 1280, 984}};
    const QPoint elsewhere(50, 600);
    QTest::newRow("centred below") << false << QRect(900, 0, 24, 30) << elsewhere
                                   << QList<ScreenArea>{main} << QPoint(912 - 230, 36);
    QTest::newRow("narrow screen: left margin wins")
        << false << QRect(100, 0, 20, 30) << elsewhere
        << QList<ScreenArea>{{{0, 0, 400, 900}, {0, 0, 400, 900}}} << QPoint(8, 36);
    QTest::newRow("short screen: the top stays inside")
        << false << QRect(300, 0, 20, 30) << elsewhere
        << QList<ScreenArea>{{{0, 0, 1000, 500}, {0, 20, 1000, 480}}} << QPoint(80, 20);
    QTest::newRow("tray on a second screen's bar: not under the bar")
        << false << QRect(2500, 4, 16, 16) << elsewhere << QList<ScreenArea>{main, rightWithBar}
        << QPoint(2508 - 230, 30);
    QTest::newRow("anchor off every screen: primary clamps")
        << false << QRect(5000, 0, 20, 30) << elsewhere << QList<ScreenArea>{main, right}
        << QPoint(1920 - 460 - 8, 36);
    QTest::newRow("no tray click: pointer low on the second screen")
        << false << QRect() << QPoint(3150, 1000) << QList<ScreenArea>{main, right}
        << QPoint(1920 + 1280 - 460 - 8, 1024 - 8 - 560);
    const QList<ScreenArea> both{main, rightWithDock};
    QTest::newRow("picker: exactly fits above the bottom margin")
        << true << QRect() << QPoint(500, 814) << both << QPoint(510, 824);
    QTest::newRow("picker: one pixel more flips above")
        << true << QRect() << QPoint(500, 815) << both << QPoint(510, 815 - 258);
    QTest::newRow("picker: kept below the top bar")
        << true << QRect() << QPoint(300, 5) << both << QPoint(310, 30 + 8);
    QTest::newRow("picker: pointer on no screen, primary's rules")
        << true << QRect() << QPoint(5000, 5000) << both << QPoint(1580, 1080 - 8 - 248);
    QTest::newRow("picker: no screens, unclamped")
        << true << QRect() << QPoint(5000, 5000) << QList<ScreenArea>{} << QPoint(5010, 5010);
}

void TestPanelModels::placement() {
    QFETCH(bool, picker);
    QFETCH(QRect, anchor);
    QFETCH(QPoint, pointer);
    QFETCH(QList<ScreenArea>, screens);
    QFETCH(QPoint, origin);
    const std::optional<QRect> tray = anchor.isNull() ? std::nullopt : std::optional(anchor);
    QCOMPARE(picker ? WindowPlacement::pickerOrigin(pointer, QSize(332, 248), screens)
                    : WindowPlacement::panelOrigin(tray, pointer, QSize(460, 560), screens),
             origin);
}

// An application's icon is the one its desktop entry names, which is rarely
// the application id itself.
void TestPanelModels::applicationIconsFromDesktopEntries() {
    QTemporaryDir dir;
    auto write = [&dir](const QString& name, const QByteArray& body) {
        QDir().mkpath(QFileInfo(dir.filePath(name)).absolutePath());
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(body) == body.size());
    };
    auto picture = [&dir, &write](const QString& name, QColor colour) {
        write(name, {}); // makes the folder
        QImage image(16, 16, QImage::Format_ARGB32);
        image.fill(colour);
        QVERIFY(image.save(dir.filePath(name)));
    };
    write(QStringLiteral("icons/quillettest/index.theme"),
          "[Icon Theme]\nName=Test\nDirectories=apps\n[apps]\nSize=16\nType=Fixed\n");
    picture(QStringLiteral("icons/quillettest/apps/utilities-terminal.png"), Qt::red);
    picture(QStringLiteral("own/pic.png"), Qt::blue);
    QIcon::setThemeSearchPaths({dir.filePath(QStringLiteral("icons"))});
    QIcon::setThemeName(QStringLiteral("quillettest"));
    const QByteArray entry = "[Desktop Entry]\nType=Application\nName=X\nIcon=";
    write(QStringLiteral("applications/org.kde.konsole.desktop"), entry + "utilities-terminal");
    write(QStringLiteral("applications/org.example.Pic.desktop"),
          entry + dir.filePath(QStringLiteral("own/pic.png")).toUtf8());

    DesktopEntryIndex entries({dir.path()});
    AppIcons icons(entries);
    auto colourOf = [&icons](const QString& id) {
        const QIcon icon = icons.icon(id);
        return icon.isNull() ? QColor() : icon.pixmap(16, 16).toImage().pixelColor(8, 8);
    };
    QCOMPARE(colourOf(QStringLiteral("org.kde.konsole")), QColor(Qt::red));
    QCOMPARE(colourOf(QStringLiteral("org.example.Pic")), QColor(Qt::blue));
    QCOMPARE(colourOf(QStringLiteral("org.example.Later")), QColor());
    // An application installed meanwhile is found once its entry appears.
    write(QStringLiteral("applications/org.example.Later.desktop"), entry + "utilities-terminal");
    QTRY_COMPARE(colourOf(QStringLiteral("org.example.Later")), QColor(Qt::red));
}

QTEST_MAIN(TestPanelModels)
#include "tst_panelmodels.moc"
