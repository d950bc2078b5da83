#include "helpers/WiredServices.h"
#include "history/SqliteDatabase.h"
#include "history/SqliteStatement.h"
#include "ui/picker/QuickPicker.h"
#include "ui/picker/QuickPickerModel.h"
#include "ui/picker/QuickPickerView.h"

#include <QKeyEvent>
#include <QTest>

#include <memory>

namespace {
struct Seed {
    QString text;
    double createdAt;
    bool pinned = false;
    QString kind = QStringLiteral("text");
};

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
    int copies() const { return writes; }
    QString copied() { return pasteboard().string().value_or(QString()); }

    void seed(const QList<Seed>& rows) {
        SqliteDatabase db;
        QVERIFY(db.open(store.databasePath()));
        for (const Seed& row : rows) {
            SqliteStatement ins =
                db.prepare(QStringLiteral("INSERT INTO items(hash,kind,text,created_at,pinned) "
                                          "VALUES(?,?,?,?,%1)")
                               .arg(row.pinned ? 1 : 0));
            ins.bindText(1, QStringLiteral("hash of ") + row.text);
            ins.bindText(2, row.kind);
            ins.bindText(3, row.text);
            ins.bindDouble(4, row.createdAt);
            ins.step();
        }
        store.reload();
    }

    void sql(const QString& statement) {
        SqliteDatabase db;
        QVERIFY(db.open(store.databasePath()));
        db.exec(statement);
        store.reload();
    }

    void seedTexts(int count) {
        QList<Seed> rows;
        for (int i = 1; i <= count; ++i)
            rows.append({QStringLiteral("clip %1").arg(i), 1000.0 + i});
        seed(rows);
    }

    std::unique_ptr<QuickPicker> picker() { return std::make_unique<QuickPicker>(ui); }
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
    void keys();
    void pickCopiesAndPastesLater();
    void click();
    void thumbnailMark();
};

void TestQuickPicker::newestFiveWhateverPinned() {
    Fixture f;
    auto picker = f.picker();
    // Old pinned clips sort first in the store but not in the picker; the
    // equal times of "e" and "f" keep their store order.
    f.seed({{"a", 1000, true},
            {"b", 1001},
            {"c", 1002, true},
            {"d", 1003},
            {"e", 1005},
            {"f", 1005},
            {"g", 1006, true},
            {"h", 1007}});
    QCOMPARE(f.store.items().first().text, QString("g"));
    picker->model().setSelection(3);
    picker->show();
    const QStringList inStore = texts(f.store.items());
    const bool eFirst = inStore.indexOf("e") < inStore.indexOf("f");
    QCOMPARE(texts(picker->model().items()),
             (QStringList{"h", "g", eFirst ? "e" : "f", eFirst ? "f" : "e", "d"}));
    QCOMPARE(picker->model().selection(), 0);

    // The list stands still while open; the next show picks up the change.
    f.seed({{"i", 1010}});
    QCOMPARE(picker->model().items().first().text, QString("h"));
    picker->hide();
    picker->show();
    QCOMPARE(picker->model().items().first().text, QString("i"));
}

void TestQuickPicker::keys() {
    Fixture f;
    f.seedTexts(3);
    auto picker = f.picker();
    picker->show();
    QuickPickerModel& m = picker->model();

    // Arrows stop at both ends.
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(picker.get(), Qt::Key_Down);
    QCOMPARE(m.selection(), 2);
    QTest::keyClick(picker.get(), Qt::Key_Up);
    QCOMPARE(m.selection(), 1);
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(picker.get(), Qt::Key_Up);
    QCOMPARE(m.selection(), 0);

    // A digit beyond the list is swallowed and the picker stays; 6 to 9 are no rows at all.
    QTest::keyClick(picker.get(), Qt::Key_4);
    QTest::keyClick(picker.get(), Qt::Key_7);
    QTest::keyClick(picker.get(), Qt::Key_0);
    QVERIFY(picker->isVisible());
    QVERIFY(f.copies() == 0);

    // Return takes the highlighted row.
    QTest::keyClick(picker.get(), Qt::Key_Down);
    QTest::keyClick(picker.get(), Qt::Key_Return);
    QVERIFY(!picker->isVisible());
    QCOMPARE(f.copies(), 1);
    QCOMPARE(f.copied(), QString("clip 2"));

    // Keypad Enter too, after the selection was reset by showing again.
    picker->show();
    QCOMPARE(m.selection(), 0);
    QTest::keyClick(picker.get(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(f.copied(), QString("clip 3"));

    // Digits pick directly, from other scripts too (Arabic-Indic two); a
    // letter is no digit; Escape closes without copying.
    picker->show();
    QTest::keyClick(picker.get(), Qt::Key_3);
    QCOMPARE(f.copied(), QString("clip 1"));
    picker->show();
    typeText(picker.get(), QString(QChar(0x0662)));
    QVERIFY(!picker->isVisible());
    QCOMPARE(f.copied(), QString("clip 2"));
    picker->show();
    typeText(picker.get(), QStringLiteral("a"));
    QVERIFY(picker->isVisible());
    QTest::keyClick(picker.get(), Qt::Key_Escape);
    QVERIFY(!picker->isVisible());
    QCOMPARE(f.copies(), 4);

    // An empty history: nothing to pick, the arrows stay at 0.
    Fixture empty;
    auto bare = empty.picker();
    bare->show();
    QTest::keyClick(bare.get(), Qt::Key_Down);
    QCOMPARE(bare->model().selection(), 0);
    QTest::keyClick(bare.get(), Qt::Key_Return);
    QTest::keyClick(bare.get(), Qt::Key_1);
    QVERIFY(bare->isVisible());
    QVERIFY(empty.copies() == 0);
}

void TestQuickPicker::pickCopiesAndPastesLater() {
    Fixture f;
    f.seedTexts(2);
    auto picker = f.picker();

    picker->show();
    picker->pick(1);
    QVERIFY(!picker->isVisible());
    QCOMPARE(f.copied(), QString("clip 1"));

    // Out-of-range picks change nothing, not even the visibility.
    picker->show();
    picker->pick(-1);
    picker->pick(2);
    QVERIFY(picker->isVisible());
    QCOMPARE(f.copies(), 1);

    // A clip whose file is gone copies nothing: the clipboard keeps what it had.
    f.sql(QStringLiteral("UPDATE items SET kind='file', file_path='/nonexistent/gone.txt' "
                         "WHERE text='clip 2'"));
    picker->show();
    picker->pick(0);
    QVERIFY(!picker->isVisible());
    QCOMPARE(f.copies(), 1);
    QCOMPARE(f.copied(), QString("clip 1"));
}

// The "All history…" link is followed through in tst_appdelegate.
void TestQuickPicker::click() {
    Fixture f;
    f.seedTexts(4);
    auto picker = f.picker();
    picker->show();
    QuickPickerView& view = picker->view();

    QTest::mouseClick(&view, Qt::LeftButton, {}, view.rowRect(2).center());
    QVERIFY(!picker->isVisible());
    QCOMPARE(f.copied(), QString("clip 2"));

    // Between rows and in the footer nothing is picked.
    picker->show();
    QCOMPARE(view.rowAt(view.rowRect(0).bottomLeft() + QPoint(0, 1)), -1);
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(20, picker->height() - 12));
    QVERIFY(picker->isVisible());
    QCOMPARE(f.copies(), 1);
}

void TestQuickPicker::thumbnailMark() {
    Fixture f;
    // An image clip shows its own thumbnail (here a palette PNG, as small
    // thumbnails are often stored) instead of the kind symbol.
    QImage palette(40, 30, QImage::Format_Indexed8);
    palette.setColorTable({qRgb(255, 165, 0), qRgb(255, 165, 1)});
    palette.fill(0);
    const QString thumb = f.dir.filePath(QStringLiteral("thumb.png"));
    QVERIFY(palette.save(thumb, "PNG"));
    f.seed({{"picture", 1000, false, "image"}});
    f.sql(QStringLiteral("UPDATE items SET thumb_path='%1'").arg(thumb));
    auto picker = f.picker();
    picker->show();
    QCOMPARE(picker->model().items().first().thumbPath, thumb);
    const QImage shot = picker->view().grab().toImage();
    const QRect row = picker->view().rowRect(0);
    const QRgb mark = shot.pixel(row.x() + 8 + 14 + 9 + 13, row.center().y());
    QVERIFY2(qRed(mark) > 230 && qGreen(mark) > 140 && qGreen(mark) < 190 && qBlue(mark) < 40,
             qPrintable(QString::number(mark, 16)));
}

QTEST_MAIN(TestQuickPicker)
#include "tst_quickpicker.moc"
