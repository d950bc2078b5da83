// The panel's two tabs and the quick picker as widgets on the offscreen
// platform, over the services as the application wires them.
#include "PanelFixture.h"
#include "thumbnails/ThumbnailCache.h"
#include "ui/panel/ClipListModel.h"
#include "ui/panel/ClipListView.h"
#include "ui/panel/ClipRowDelegate.h"
#include "ui/panel/ClipboardView.h"
#include "ui/panel/FloatingPanel.h"
#include "ui/panel/PanelState.h"
#include "ui/panel/PanelView.h"
#include "ui/panel/RenamePrompt.h"
#include "ui/panel/ScreenshotGridView.h"
#include "ui/panel/ScreenshotListModel.h"
#include "ui/panel/ScreenshotsView.h"
#include "ui/picker/QuickPicker.h"
#include "ui/picker/QuickPickerModel.h"
#include "ui/picker/QuickPickerView.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

class TestPanelTabs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void clipSearchClickAndHover();
    void rowButtonsAndClear();
    void screenshotsClickAndRename();
    void thumbnailSecondLook();
    void pickerNewestFiveWhateverPinned();
    void pickerKeysClicksAndPicks();
};

void TestPanelTabs::clipSearchClickAndHover() {
    Fixture f;
    auto view = f.shown<ClipboardView>();
    QVERIFY(view->showsEmptyState());
    const QString blob = makePng(f.dir.filePath(QStringLiteral("blob.png")));
    f.store().record({.hash = sha256Hex(blob.toUtf8()), .kind = ClipKind::image, .blobPath = blob});
    const qint64 imageId = f.store().items().constFirst().id;
    const qint64 copyMe = f.text(QStringLiteral("copy me")).id;
    const qint64 newer = f.text(QStringLiteral("newer")).id;
    QVERIFY(!view->showsEmptyState());
    QCOMPARE(view->model().clipCount(), 3);

    f.state.setSearchText(QStringLiteral("zzz"));
    QVERIFY(view->showsEmptyState());
    // The state drives the field too (the text survives hiding the panel).
    f.state.setSearchText(QStringLiteral("COPY"));
    QCOMPARE(view->searchField().text(), QStringLiteral("COPY"));
    QCOMPARE(view->model().clipCount(), 1);
    f.state.setSearchText(QString());
    QCOMPARE(view->model().clipCount(), 3);

    // A click copies the row and confirms it; the panel stays, unless it
    // pastes directly and makes way for the paste.
    int hides = 0;
    connect(view.get(), &ClipboardView::hideRequested, this, [&] { ++hides; });
    QWidget* vp = view->list().viewport();
    QTest::mouseClick(vp, Qt::LeftButton, {}, view->list().rowRect(copyMe).center());
    QCOMPARE(f.pasteboard().string(), QStringLiteral("copy me"));
    QCOMPARE(f.toast.message(), QStringLiteral("Copied"));
    QCOMPARE(hides, 0);
    f.prefs().setPasteDirectly(true);
    QTest::mouseClick(vp, Qt::LeftButton, {}, view->list().rowRect(newer).center());
    QCOMPARE(f.pasteboard().string(), QStringLiteral("newer"));
    QCOMPARE(hides, 1);

    // Hovering a file's row offers it to the preview, a text row does not.
    hover(vp, view->list().rowRect(newer).center());
    QVERIFY(f.state.quickLookURL().isEmpty());
    hover(vp, view->list().rowRect(imageId).center());
    QCOMPARE(f.state.quickLookURL(), QUrl::fromLocalFile(blob));
}

void TestPanelTabs::rowButtonsAndClear() {
    Fixture f;
    const qint64 older = f.text(QStringLiteral("older")).id;
    const qint64 id = f.text(QStringLiteral("keep me")).id;
    auto view = f.shown<ClipboardView>();
    QWidget* vp = view->list().viewport();

    // The pin button appears on hover and pins the row.
    hover(vp, view->list().rowRect(id).center());
    QRect row = view->list().rowRect(id);
    QTest::mouseClick(vp, Qt::LeftButton, {}, ClipRowDelegate::pinButtonRect(row, true).center());
    QTRY_VERIFY(f.store().items().constFirst().pinned && !f.store().items().constLast().pinned);
    QCOMPARE(f.store().items().constFirst().id, id);

    // Not hovered, a pinned row keeps its pin at the trailing edge; a click
    // there unpins it.
    hover(vp, QPoint(vp->width() / 2, vp->height() - 2));
    row = view->list().rowRect(id);
    QTest::mouseClick(vp, Qt::LeftButton, {}, ClipRowDelegate::pinButtonRect(row, false).center());
    QTRY_VERIFY(!f.store().items().constFirst().pinned);

    // The delete button removes the row without asking.
    hover(vp, view->list().rowRect(older).center());
    row = view->list().rowRect(older);
    QTest::mouseClick(vp, Qt::LeftButton, {}, ClipRowDelegate::deleteButtonRect(row).center());
    QCOMPARE(f.store().items().size(), 1);
    QCOMPARE(f.store().items().constFirst().id, id);

    // Clearing asks first, and keeps the pinned.
    f.store().setPinned(id, true);
    f.text(QStringLiteral("loose one"));
    auto answer = [&](const QString& button) {
        view->findChild<QToolButton*>(QStringLiteral("clearHistory"))->click();
        QMessageBox* box = view->clearConfirmation();
        QVERIFY(box);
        // Drawn dark over the dark panel, whatever the desktop's theme.
        QVERIFY(box->palette().color(QPalette::Window).lightness() < 80);
        for (QAbstractButton* b : box->buttons())
            if (b->text() == button)
                b->click();
        QTRY_VERIFY(!view->clearConfirmation());
    };
    answer(QStringLiteral("Cancel"));
    QCOMPARE(f.store().items().size(), 2);
    answer(QStringLiteral("Clear (keeps pinned)"));
    QCOMPARE(f.store().items().size(), 1);
    QCOMPARE(f.store().items().constFirst().text, QStringLiteral("keep me"));
}

void TestPanelTabs::screenshotsClickAndRename() {
    Fixture f;
    f.state.setTab(PanelTab::screenshots);
    auto panel = f.shown<PanelView>();
    ScreenshotsView& view = panel->screenshotsView();
    QVERIFY(view.showsEmptyState());
    QList<QUrl> shots;
    for (int i = 0; i < 5; ++i)
        shots << QUrl::fromLocalFile(
            makePng(f.dir.filePath(QStringLiteral("Shot 3.0%1.png").arg(i))));
    view.setScreenshots(shots);
    QVERIFY(!view.showsEmptyState());

    QWidget* vp = view.grid().viewport();
    hover(vp, view.grid().visualRect(view.model().index(1)).center());
    QCOMPARE(f.state.quickLookURL(), shots.at(1));
    QTest::mouseClick(vp, Qt::LeftButton, {},
                      view.grid().visualRect(view.model().index(3)).center());
    QCOMPARE(f.pasteboard().fileUrls(), QList<QUrl>{shots.at(3)});
    QVERIFY(f.pasteboard().types().contains(PasteboardType::png));
    QCOMPARE(f.state.quickLookURL(), shots.at(3));
    QCOMPARE(f.toast.message(), QStringLiteral("Copied"));
    view.copyFileOnly(shots.at(0));
    QCOMPARE(f.toast.message(), QStringLiteral("Copied file"));
    QCOMPARE(f.pasteboard().fileUrls(), QList<QUrl>{shots.at(0)});
    QVERIFY(!f.pasteboard().types().contains(PasteboardType::png));

    // Rename is pre-filled with the name without its extension; Cancel renames nothing.
    const QUrl shot = shots.at(4);
    view.startRename(shot);
    QCOMPARE(view.renamePrompt()->name(), QStringLiteral("Shot 3.04"));
    view.renamePrompt()->cancelButton().click();
    QVERIFY(view.renaming().isEmpty());
    QVERIFY(QFile::exists(shot.toLocalFile()));
    // A name that is taken is refused without a word; a free one renames.
    for (const QString& name : {QStringLiteral("Shot 3.00"), QStringLiteral("kept")}) {
        view.startRename(shot);
        view.renamePrompt()->field().setText(name);
        view.renamePrompt()->renameButton().click();
        QVERIFY(view.renaming().isEmpty());
    }
    QVERIFY(!QFile::exists(shot.toLocalFile()));
    QVERIFY(QFile::exists(f.dir.filePath("kept.png")));
    QVERIFY(QFile::exists(shots.at(0).toLocalFile()));
    // Leaving the tab dismisses the prompt.
    view.startRename(shot);
    QVERIFY(view.renamePrompt());
    f.state.setTab(PanelTab::clipboard);
    QVERIFY(view.renaming().isEmpty());
}

void TestPanelTabs::thumbnailSecondLook() {
    using State = ScreenshotListModel::ThumbState;
    Fixture f;
    ThumbnailCache& cache = f.services.thumbnails();
    const QUrl ready = QUrl::fromLocalFile(makePng(f.dir.filePath("ready.png"), Qt::blue));
    const QUrl late = QUrl::fromLocalFile(makePng(f.dir.filePath("late.png"), Qt::green));
    // Named like a picture, readable by nothing: its preview never comes.
    const QUrl never = QUrl::fromLocalFile(f.dir.filePath("never.png"));
    QVERIFY(QFile(never.toLocalFile()).open(QIODevice::WriteOnly));
    cache.generate(ready, cache.thumbnailURL(ready));
    QVERIFY(cache.waitForDone(5000));

    ScreenshotListModel model(cache);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setScreenshots({ready, late, never});
    for (int row = 0; row < 3; ++row)
        QVERIFY(model.thumbnail(row).isNull()); // the first paint starts loading
    QTRY_COMPARE(model.thumbState(ready), State::loaded);
    // The missing preview is made meanwhile and found at the second look.
    QTRY_COMPARE_WITH_TIMEOUT(model.thumbState(late), State::loaded, 5000);
    QCOMPARE(model.thumbnail(1).pixelColor(0, 0), QColor(Qt::green));
    QTRY_COMPARE_WITH_TIMEOUT(model.thumbState(never), State::missing, 5000);

    // Shown again, a missing thumbnail gets a new chance.
    model.revisit();
    QVERIFY(model.thumbnail(2).isNull());
    QCOMPARE(model.thumbState(never), State::loading);
    QTRY_COMPARE_WITH_TIMEOUT(model.thumbState(never), State::missing, 5000);
}

void TestPanelTabs::pickerNewestFiveWhateverPinned() {
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
    f.picker.model().setSelection(3);
    f.picker.show();
    const QStringList inStore = texts(f.store().items());
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

void TestPanelTabs::pickerKeysClicksAndPicks() {
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
    press(Qt::Key_Up, 5);
    QCOMPARE(m.selection(), 0);

    // A digit beyond the list is swallowed and the picker stays; 6 to 9 are no rows at all.
    for (Qt::Key digit : {Qt::Key_4, Qt::Key_7, Qt::Key_0})
        press(digit);
    QVERIFY(f.picker.isVisible());
    QCOMPARE(f.writes, 0);

    // Return takes the highlighted row.
    press(Qt::Key_Down);
    press(Qt::Key_Return);
    QVERIFY(!f.picker.isVisible());
    QCOMPARE(f.copied(), QString("clip 2"));

    // Keypad Enter too (showing again reset the selection).
    f.picker.show();
    QTest::keyClick(&f.picker, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(f.copied(), QString("clip 3"));

    // Digits pick directly (on the real keyboard in tst_shell_x11), from other
    // scripts too (Arabic-Indic two); a letter is no digit; Escape closes
    // without copying.
    f.picker.show();
    QKeyEvent arabicTwo(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(0x0662)));
    QCoreApplication::sendEvent(&f.picker, &arabicTwo);
    QVERIFY(!f.picker.isVisible());
    QCOMPARE(f.copied(), QString("clip 2"));
    f.picker.show();
    press(Qt::Key_A);
    QVERIFY(f.picker.isVisible());
    press(Qt::Key_Escape);
    QVERIFY(!f.picker.isVisible());
    QCOMPARE(f.writes, 3);

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
    QCOMPARE(f.writes, 4);

    // A clip whose file is gone copies nothing: the clipboard keeps what it had.
    f.sql(QStringLiteral("UPDATE items SET kind='file', file_path='/nonexistent/gone.txt' "
                         "WHERE text='clip 3'"));
    f.picker.show();
    f.picker.pick(0);
    QVERIFY(!f.picker.isVisible());
    QCOMPARE(f.writes, 4);
    QCOMPARE(f.copied(), QString("clip 2"));

    // An empty history: nothing to pick, the arrows stay at 0.
    f.sql(QStringLiteral("DELETE FROM items"));
    f.picker.show();
    press(Qt::Key_Down);
    QCOMPARE(m.selection(), 0);
    press(Qt::Key_Return);
    press(Qt::Key_1);
    QVERIFY(f.picker.isVisible());
    QCOMPARE(f.writes, 4);

    // A palette PNG, as small thumbnails are often stored: decoded scaled, it
    // came out garbled. Its colour is drawn in the row instead of the kind symbol.
    QImage palette(40, 30, QImage::Format_Indexed8);
    palette.setColorTable({qRgb(255, 165, 0), qRgb(255, 165, 1)});
    palette.fill(0);
    const QString thumb = f.dir.filePath(QStringLiteral("thumb.png"));
    QVERIFY(palette.save(thumb, "PNG"));
    f.sql("INSERT INTO items(hash,kind,created_at,thumb_path) VALUES('p','image',1000,'" + thumb +
          "')");
    f.picker.show();
    const QImage shot = f.picker.view().grab().toImage();
    const int y = f.picker.view().rowRect(0).center().y();
    bool drawn = false;
    for (int x = 0; x < shot.width(); ++x)
        drawn = drawn || shot.pixelColor(x, y) == QColor(255, 165, 0);
    QVERIFY(drawn);
}

// Without a mouse: the search field keeps the keyboard while the arrows choose
// the row or cell that Return, Space, Delete and the menu key act on; and
// every control a screen reader meets has a name and a role.
QTEST_MAIN(TestPanelTabs)
#include "tst_paneltabs.moc"
