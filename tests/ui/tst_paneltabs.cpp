// The two tabs as widgets on the offscreen platform, over the services as the
// application wires them on temp folders (the null platform's in-process
// clipboard shows what a click copied) and real screenshot files.
#include "helpers/WiredServices.h"
#include "thumbnails/ThumbnailCache.h"
#include "ui/panel/ClipListModel.h"
#include "ui/panel/ClipListView.h"
#include "ui/panel/ClipRowDelegate.h"
#include "ui/panel/ClipboardView.h"
#include "ui/panel/PanelState.h"
#include "ui/panel/PanelView.h"
#include "ui/panel/RenamePrompt.h"
#include "ui/panel/ScreenshotGridView.h"
#include "ui/panel/ScreenshotListModel.h"
#include "ui/panel/ScreenshotsView.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {
struct Fixture : WiredServices {
    PanelState state;

    const ClipItem& find(const QString& s) {
        for (const ClipItem& i : store().items())
            if (i.text == s)
                return i;
        qFatal("item not found");
    }
    // A tab as the panel sizes it, shown.
    template <class View> std::unique_ptr<View> shown() {
        auto view = std::make_unique<View>(state, ui);
        view->resize(436, 480);
        view->show();
        [&] {
            QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        }();
        return view;
    }
};

void hover(QWidget* viewport, const QPoint& pos) {
    // A move to where the pointer already is (as seen by an earlier window at
    // the same place) is not delivered: come from elsewhere.
    QTest::mouseMove(viewport, QPoint(viewport->width() - 1, viewport->height() - 1));
    QTest::mouseMove(viewport, pos);
    QApplication::processEvents();
}

QString makePng(const QString& path, QColor color = Qt::red) {
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(color);
    image.save(path, "PNG");
    return path;
}
} // namespace

class TestPanelTabs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void clipSearchClickAndHover();
    void rowButtonsAndClear();
    void screenshotsClickAndRename();
    void thumbnailSecondLook();
};

void TestPanelTabs::clipSearchClickAndHover() {
    Fixture f;
    auto view = f.shown<ClipboardView>();
    QVERIFY(view->showsEmptyState());
    const QString nothingYet = view->emptyTitle();
    const QString blob = makePng(f.dir.filePath(QStringLiteral("blob.png")));
    f.store().record({.hash = sha256Hex(blob.toUtf8()), .kind = ClipKind::image, .blobPath = blob});
    const qint64 imageId = f.store().items().constFirst().id;
    const qint64 copyMe = f.text(QStringLiteral("copy me")).id;
    const qint64 newer = f.text(QStringLiteral("newer")).id;
    QVERIFY(!view->showsEmptyState());
    QCOMPARE(view->model().clipCount(), 3);

    // Typing into the field filters through the shared state.
    QTest::keyClicks(&view->searchField(), QStringLiteral("zzz"));
    QCOMPARE(f.state.searchText(), QStringLiteral("zzz"));
    QVERIFY(view->showsEmptyState());
    QVERIFY(view->emptyTitle() != nothingYet); // no matches, not an empty history
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

    // Hovering a file's row offers it to the preview; text rows and leaving keep the last file.
    hover(vp, view->list().rowRect(newer).center());
    QVERIFY(f.state.quickLookURL().isEmpty());
    hover(vp, view->list().rowRect(imageId).center());
    QCOMPARE(f.state.quickLookURL(), QUrl::fromLocalFile(blob));
    hover(vp, view->list().rowRect(newer).center());
    QCOMPARE(f.state.quickLookURL(), QUrl::fromLocalFile(blob));
}

void TestPanelTabs::rowButtonsAndClear() {
    Fixture f;
    f.text(QStringLiteral("older"));
    const qint64 id = f.text(QStringLiteral("keep me")).id;
    auto view = f.shown<ClipboardView>();
    QWidget* vp = view->list().viewport();

    // The pin button appears on hover and pins the row.
    hover(vp, view->list().rowRect(id).center());
    QRect row = view->list().rowRect(id);
    QTest::mouseClick(vp, Qt::LeftButton, {}, ClipRowDelegate::pinButtonRect(row, true).center());
    QTRY_VERIFY(f.find(QStringLiteral("keep me")).pinned);
    QVERIFY(!f.find(QStringLiteral("older")).pinned);

    // Not hovered, a pinned row keeps its pin at the trailing edge; a click
    // there unpins it.
    hover(vp, QPoint(vp->width() / 2, vp->height() - 2));
    row = view->list().rowRect(id);
    QTest::mouseClick(vp, Qt::LeftButton, {}, ClipRowDelegate::pinButtonRect(row, false).center());
    QTRY_VERIFY(!f.find(QStringLiteral("keep me")).pinned);

    // The delete button removes the row without asking.
    const qint64 older = f.find(QStringLiteral("older")).id;
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
    QCOMPARE(view.renaming(), shot);
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
    // Dismissing the prompt any other way clears it too, and so does leaving the tab.
    view.startRename(shot);
    view.renamePrompt()->reject();
    QVERIFY(view.renaming().isEmpty());
    view.startRename(shot);
    QVERIFY(view.renamePrompt());
    f.state.setTab(PanelTab::clipboard);
    QVERIFY(view.renaming().isEmpty());
}

void TestPanelTabs::thumbnailSecondLook() {
    Fixture f;
    ThumbnailCache& cache = f.services.thumbnails();
    const QUrl ready = QUrl::fromLocalFile(makePng(f.dir.filePath("ready.png"), Qt::blue));
    const QUrl late = QUrl::fromLocalFile(makePng(f.dir.filePath("late.png"), Qt::green));
    // Named like a picture, readable by nothing: its preview never comes.
    const QUrl never = QUrl::fromLocalFile(f.dir.filePath("never.png"));
    QFile file(never.toLocalFile());
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("not a picture") > 0);
    file.close();
    cache.generate(ready, cache.thumbnailURL(ready));
    QVERIFY(cache.waitForDone(5000));

    ScreenshotListModel model(cache);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setScreenshots({ready, late, never});
    for (int row = 0; row < 3; ++row)
        QVERIFY(model.thumbnail(row).isNull()); // the first paint starts loading
    QTRY_COMPARE(model.thumbState(ready), ScreenshotListModel::ThumbState::loaded);
    // The missing preview is made meanwhile and found at the second look.
    QTRY_COMPARE_WITH_TIMEOUT(model.thumbState(late), ScreenshotListModel::ThumbState::loaded,
                              5000);
    QCOMPARE(model.thumbnail(1).pixelColor(0, 0), QColor(Qt::green));
    QTRY_COMPARE_WITH_TIMEOUT(model.thumbState(never), ScreenshotListModel::ThumbState::missing,
                              5000);
    QVERIFY(model.thumbnail(2).isNull());

    // Shown again, a missing thumbnail gets a new chance.
    model.revisit();
    QVERIFY(model.thumbnail(2).isNull());
    QCOMPARE(model.thumbState(never), ScreenshotListModel::ThumbState::loading);
    QTRY_COMPARE_WITH_TIMEOUT(model.thumbState(never), ScreenshotListModel::ThumbState::missing,
                              5000);
}

QTEST_MAIN(TestPanelTabs)
#include "tst_paneltabs.moc"
