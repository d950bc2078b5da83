#include "helpers/WiredServices.h"
#include "history/SqliteDatabase.h"
#include "ui/picker/QuickPicker.h"
#include "ui/picker/QuickPickerModel.h"
#include "ui/picker/QuickPickerPlacement.h"
#include "ui/picker/QuickPickerView.h"

#include <QKeyEvent>
#include <QTest>

namespace {
// The wired services on the null platform: a real store in a temp folder,
// whose rows are written on a second connection so their creation times can
// be chosen, and the in-process clipboard that shows what a pick copied.
struct Fixture : WiredServices {
    ClipStore& store = services.store();
    int writes = 0;

    Fixture() {
        prefs().setMaxDays(100000);
        prefs().setMaxItems(100);
        // A copy clears the clipboard, then writes it: count the writes.
        QObject::connect(&pasteboard(), &Pasteboard::changed, [this] {
            if (!pasteboard().types().isEmpty())
                ++writes;
        });
    }
    QString copied() { return pasteboard().string().value_or(QString()); }

    void sql(const QString& statement) {
        SqliteDatabase db;
        QVERIFY(db.open(store.databasePath()));
        db.exec(statement);
        store.reload();
    }

    // Text clips: text, creation time, pinned.
    void seed(const QList<std::tuple<const char*, double, bool>>& rows) {
        QStringList values;
        for (const auto& [text, at, pinned] : rows)
            values << QStringLiteral("('%1','text','%1',%2,%3)").arg(text).arg(at).arg(int(pinned));
        sql("INSERT INTO items(hash,kind,text,created_at,pinned) VALUES " + values.join(u','));
    }

    QuickPicker picker{ui};
};

QStringList texts(const ClipItemList& items) {
    QStringList out;
    for (const ClipItem& item : items)
        out << item.text.value_or(QString());
    return out;
}

void typeText(QWidget* w, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QCoreApplication::sendEvent(w, &press);
}
} // namespace

class TestQuickPicker : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void newestFiveWhateverPinned();
    void keysClicksAndPicks();
    void thumbnailInFullColour();
    void placement_data();
    void placement();
};

void TestQuickPicker::newestFiveWhateverPinned() {
    Fixture f;
    // Old pinned clips sort first in the store but not in the picker; the
    // equal times of "e" and "f" keep their store order.
    f.seed({{"a", 1000, true},
            {"b", 1001, false},
            {"c", 1002, true},
            {"d", 1003, false},
            {"e", 1005, false},
            {"f", 1005, false},
            {"g", 1006, true},
            {"h", 1007, false}});
    QCOMPARE(f.store.items().first().text, QString("g"));
    f.picker.model().setSelection(3);
    f.picker.show();
    const QStringList inStore = texts(f.store.items());
    const bool eFirst = inStore.indexOf("e") < inStore.indexOf("f");
    QCOMPARE(texts(f.picker.model().items()),
             (QStringList{"h", "g", eFirst ? "e" : "f", eFirst ? "f" : "e", "d"}));
    QCOMPARE(f.picker.model().selection(), 0);

    // The list stands still while open; the next show picks up the change.
    f.seed({{"i", 1010, false}});
    QCOMPARE(f.picker.model().items().first().text, QString("h"));
    f.picker.hide();
    f.picker.show();
    QCOMPARE(f.picker.model().items().first().text, QString("i"));
}

void TestQuickPicker::keysClicksAndPicks() {
    Fixture f;
    f.seed({{"clip 1", 1001, false}, {"clip 2", 1002, false}, {"clip 3", 1003, false}});
    f.picker.show();
    QuickPickerModel& m = f.picker.model();
    const auto press = [&f](Qt::Key key, int times = 1) {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(&f.picker, key);
    };

    // Arrows stop at both ends.
    press(Qt::Key_Down, 5);
    QCOMPARE(m.selection(), 2);
    press(Qt::Key_Up);
    QCOMPARE(m.selection(), 1);
    press(Qt::Key_Up, 5);
    QCOMPARE(m.selection(), 0);

    // A digit beyond the list is swallowed and the picker stays; 6 to 9 are no rows at all.
    press(Qt::Key_4);
    press(Qt::Key_7);
    press(Qt::Key_0);
    QVERIFY(f.picker.isVisible());
    QCOMPARE(f.writes, 0);

    // Return takes the highlighted row.
    press(Qt::Key_Down);
    press(Qt::Key_Return);
    QVERIFY(!f.picker.isVisible());
    QCOMPARE(f.copied(), QString("clip 2"));

    // Keypad Enter too, after the selection was reset by showing again.
    f.picker.show();
    QCOMPARE(m.selection(), 0);
    QTest::keyClick(&f.picker, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(f.copied(), QString("clip 3"));

    // Digits pick directly, from other scripts too (Arabic-Indic two); a
    // letter is no digit; Escape closes without copying.
    f.picker.show();
    press(Qt::Key_3);
    QCOMPARE(f.copied(), QString("clip 1"));
    f.picker.show();
    typeText(&f.picker, QString(QChar(0x0662)));
    QVERIFY(!f.picker.isVisible());
    QCOMPARE(f.copied(), QString("clip 2"));
    f.picker.show();
    typeText(&f.picker, QStringLiteral("a"));
    QVERIFY(f.picker.isVisible());
    press(Qt::Key_Escape);
    QVERIFY(!f.picker.isVisible());
    QCOMPARE(f.writes, 4);

    // A click on a row picks it; between rows and in the footer nothing is
    // picked. (The "All history…" link is followed through in tst_appdelegate.)
    f.picker.show();
    QuickPickerView& view = f.picker.view();
    QTest::mouseClick(&view, Qt::LeftButton, {}, view.rowRect(1).center());
    QVERIFY(!f.picker.isVisible());
    QCOMPARE(f.copied(), QString("clip 2"));
    f.picker.show();
    QCOMPARE(view.rowAt(view.rowRect(0).bottomLeft() + QPoint(0, 1)), -1);
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(20, f.picker.height() - 12));
    // Out-of-range picks change nothing, not even the visibility.
    f.picker.pick(-1);
    f.picker.pick(3);
    QVERIFY(f.picker.isVisible());
    QCOMPARE(f.writes, 5);

    // A clip whose file is gone copies nothing: the clipboard keeps what it had.
    f.sql(QStringLiteral("UPDATE items SET kind='file', file_path='/nonexistent/gone.txt' "
                         "WHERE text='clip 3'"));
    f.picker.show();
    f.picker.pick(0);
    QVERIFY(!f.picker.isVisible());
    QCOMPARE(f.writes, 5);
    QCOMPARE(f.copied(), QString("clip 2"));

    // An empty history: nothing to pick, the arrows stay at 0.
    f.sql(QStringLiteral("DELETE FROM items"));
    f.picker.show();
    press(Qt::Key_Down);
    QCOMPARE(m.selection(), 0);
    press(Qt::Key_Return);
    press(Qt::Key_1);
    QVERIFY(f.picker.isVisible());
    QCOMPARE(f.writes, 5);
}

void TestQuickPicker::thumbnailInFullColour() {
    Fixture f;
    // A palette PNG, as small thumbnails are often stored: decoded scaled, it came out garbled.
    QImage palette(40, 30, QImage::Format_Indexed8);
    palette.setColorTable({qRgb(255, 165, 0), qRgb(255, 165, 1)});
    palette.fill(0);
    const QString thumb = f.dir.filePath(QStringLiteral("thumb.png"));
    QVERIFY(palette.save(thumb, "PNG"));
    f.sql("INSERT INTO items(hash,kind,created_at,thumb_path) VALUES('p','image',1000,'" + thumb +
          "')");
    f.picker.show();
    // Its colour is drawn in the row instead of the kind symbol.
    const QImage shot = f.picker.view().grab().toImage();
    const int y = f.picker.view().rowRect(0).center().y();
    bool drawn = false;
    for (int x = 0; x < shot.width(); ++x)
        drawn = drawn || shot.pixelColor(x, y) == QColor(255, 165, 0);
    QVERIFY(drawn);
}

using Screens = QList<QuickPickerPlacement::Screen>;
Q_DECLARE_METATYPE(QuickPickerPlacement::Screen)

void TestQuickPicker::placement_data() {
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<Screens>("screens");
    QTest::addColumn<QPoint>("origin");

    // A 1920x1080 screen with a 28 px top bar, and a second one to its right
    // with a 40 px bottom panel.
    const QuickPickerPlacement::Screen left{{0, 0, 1920, 1080}, {0, 28, 1920, 1052}};
    const QuickPickerPlacement::Screen right{{1920, 0, 1280, 1024}, {1920, 0, 1280, 984}};
    const Screens both{left, right};
    const QSize five(332, 248);

    QTest::newRow("exactly fits above bottom margin")
        << QPoint(500, 814) << five << both << QPoint(510, 824);
    QTest::newRow("one pixel more flips")
        << QPoint(500, 815) << five << both << QPoint(510, 815 - 258);
    QTest::newRow("near right: pushed left, 8 inside")
        << QPoint(1900, 400) << five << both << QPoint(1920 - 332 - 8, 410);
    QTest::newRow("top bar: kept below it")
        << QPoint(300, 5) << five << both << QPoint(310, 28 + 8);
    QTest::newRow("left edge") << QPoint(-5, 400) << five << Screens{left} << QPoint(8, 410);
    QTest::newRow("second screen's panel")
        << QPoint(2500, 970) << five << both << QPoint(2510, 970 - 258);
    QTest::newRow("pointer on no screen: primary's rules")
        << QPoint(5000, 5000) << five << both << QPoint(1580, 1080 - 8 - 248);
    QTest::newRow("no screens: unclamped")
        << QPoint(5000, 5000) << five << Screens{} << QPoint(5010, 5010);
    QTest::newRow("taller than the screen: top wins")
        << QPoint(100, 100) << QSize(332, 2000) << both << QPoint(110, 36);
}

void TestQuickPicker::placement() {
    QFETCH(QPoint, pointer);
    QFETCH(QSize, size);
    QFETCH(Screens, screens);
    QFETCH(QPoint, origin);
    QCOMPARE(QuickPickerPlacement::origin(pointer, size, screens), origin);
}

QTEST_MAIN(TestQuickPicker)
#include "tst_quickpicker.moc"
