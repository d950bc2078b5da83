// The two tabs as widgets on the offscreen platform, on a real clip store in
// a temp folder and real screenshot files. The copy-back and screenshot file
// services belong to other parts of the program; where a test needs to see
// that the tab called them, it hands the tab a recording service instead.
#include "helpers/TempPrefs.h"
#include "history/ClipStore.h"
#include "platform/freedesktop/XdgAutostartLoginItem.h"
#include "settings/JsonDefaultsStore.h"
#include "settings/Prefs.h"
#include "thumbnails/Sha256.h"
#include "ui/ClipListModel.h"
#include "ui/ClipListView.h"
#include "ui/ClipRowDelegate.h"
#include "ui/ClipboardView.h"
#include "ui/EmptyState.h"
#include "ui/PanelState.h"
#include "ui/PanelView.h"
#include "ui/RenamePrompt.h"
#include "ui/ScreenshotGridView.h"
#include "ui/ScreenshotListModel.h"
#include "ui/ScreenshotsView.h"
#include "ui/Toast.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {
struct StoreFixture : TempPrefs {
    ClipStore store{dir.filePath(QStringLiteral("Quillet")), prefs};

    const ClipItem& text(const QString& s, bool pinned = false) {
        store.record({.hash = sha256Hex(("text:" + s).toUtf8()), .text = s});
        if (pinned)
            store.setPinned(find(s).id, true);
        return find(s);
    }
    const ClipItem& image(const QString& blob) {
        store.record({.hash = sha256Hex(blob.toUtf8()),
                      .kind = ClipKind::image,
                      .blobPath = blob,
                      .sourceApp = QStringLiteral("org.gimp.GIMP"),
                      .sourceName = QStringLiteral("GIMP")});
        for (const ClipItem& i : store.items())
            if (i.blobPath == blob)
                return i;
        qFatal("image not recorded");
    }
    const ClipItem& find(const QString& s) {
        for (const ClipItem& i : store.items())
            if (i.text == s)
                return i;
        qFatal("item not found");
    }
};

QPoint rowCentre(ClipboardView& view, qint64 id) {
    return view.list().rowRect(id).center();
}

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
    void clipEmptyStatesAndSearch();
    void clickCopiesAndShowsCopied();
    void hoverSetsQuickLookOnlyForFiles();
    void pinAndDeleteFromTheRow();
    void clearAsksFirst();
    void screenshotEmptyStateAndClick();
    void renamePrompt();
    void thumbnailSecondLook();
    void footerFollowsTheTab();
};

void TestPanelTabs::clipEmptyStatesAndSearch() {
    StoreFixture f;
    PanelState state;
    ClipboardView view(state, f.store, PanelServices());
    view.resize(436, 480);
    view.show();
    QVERIFY(view.showsEmptyState());
    QCOMPARE(view.emptyTitle(), QStringLiteral("Nothing copied yet"));
    QCOMPARE(
        view.emptySubtitle(),
        QStringLiteral("Everything you copy shows up here \u2014\ntext, images, files, links."));

    f.text(QStringLiteral("alpha beta"));
    f.text(QStringLiteral("gamma"));
    QVERIFY(!view.showsEmptyState());
    QCOMPARE(view.model().clipCount(), 2);

    // Typing into the field filters through the shared state.
    QTest::keyClicks(&view.searchField(), QStringLiteral("zzz"));
    QCOMPARE(state.searchText(), QStringLiteral("zzz"));
    QVERIFY(view.showsEmptyState());
    QCOMPARE(view.emptyTitle(), QStringLiteral("No matches"));
    QVERIFY(view.emptySubtitle().isEmpty());

    // The state drives the field too (the text survives hiding the panel).
    state.setSearchText(QStringLiteral("BETA"));
    QCOMPARE(view.searchField().text(), QStringLiteral("BETA"));
    QCOMPARE(view.model().clipCount(), 1);
    state.setSearchText(QString());
    QCOMPARE(view.model().clipCount(), 2);
}

void TestPanelTabs::clickCopiesAndShowsCopied() {
    StoreFixture f;
    PanelState state;
    const qint64 id = f.text(QStringLiteral("copy me")).id;

    {
        // Without a copy-back service the row still copies its text.
        ClipboardView view(state, f.store, PanelServices());
        view.resize(436, 480);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTest::mouseClick(view.list().viewport(), Qt::LeftButton, {}, rowCentre(view, id));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("copy me"));
        QCOMPARE(Toast::shared().message(), QStringLiteral("Copied"));
    }

    // With one, the row hands it the item and the toast and hide steps.
    QList<qint64> chosen;
    PanelServices services;
    services.chooseItem = [&](const ClipItem& item, std::function<void()> toast,
                              std::function<void()> hideWindow) {
        chosen << item.id;
        toast();
        hideWindow();
    };
    ClipboardView view(state, f.store, services);
    view.resize(436, 480);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    int hides = 0;
    connect(&view, &ClipboardView::hideRequested, this, [&] { ++hides; });
    QTest::mouseClick(view.list().viewport(), Qt::LeftButton, {}, rowCentre(view, id));
    QCOMPARE(chosen, QList<qint64>{id});
    QCOMPARE(hides, 1);
    QCOMPARE(Toast::shared().message(), QStringLiteral("Copied"));
}

void TestPanelTabs::hoverSetsQuickLookOnlyForFiles() {
    StoreFixture f;
    PanelState state;
    const QString blob = makePng(f.dir.filePath(QStringLiteral("blob.png")));
    const qint64 imageId = f.image(blob).id;
    const qint64 textId = f.text(QStringLiteral("plain")).id;
    ClipboardView view(state, f.store, PanelServices());
    view.resize(436, 480);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    hover(view.list().viewport(), rowCentre(view, textId));
    QVERIFY(state.quickLookURL().isEmpty());
    hover(view.list().viewport(), rowCentre(view, imageId));
    QCOMPARE(state.quickLookURL(), QUrl::fromLocalFile(blob));
    // Moving to a text row or leaving keeps the last file.
    hover(view.list().viewport(), rowCentre(view, textId));
    QCOMPARE(state.quickLookURL(), QUrl::fromLocalFile(blob));
}

void TestPanelTabs::pinAndDeleteFromTheRow() {
    StoreFixture f;
    PanelState state;
    f.text(QStringLiteral("older"));
    const qint64 id = f.text(QStringLiteral("keep me")).id;
    ClipboardView view(state, f.store, PanelServices());
    view.resize(436, 480);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QWidget* vp = view.list().viewport();

    // The pin button appears on hover and pins the row.
    hover(vp, rowCentre(view, id));
    QRect row = view.list().rowRect(id);
    QTest::mouseClick(vp, Qt::LeftButton, {}, ClipRowDelegate::pinButtonRect(row, true).center());
    QTRY_VERIFY(f.find(QStringLiteral("keep me")).pinned);
    QCOMPARE(view.model().entry(0).header, QStringLiteral("PINNED"));
    QCOMPARE(view.model().entry(1).item.id, id);
    QCOMPARE(view.model().entry(2).header, QStringLiteral("HISTORY"));
    QVERIFY(!f.find(QStringLiteral("older")).pinned);

    // Not hovered, a pinned row keeps its pin at the trailing edge; a click
    // there unpins it.
    hover(vp, QPoint(vp->width() / 2, vp->height() - 2));
    row = view.list().rowRect(id);
    QTest::mouseClick(vp, Qt::LeftButton, {}, ClipRowDelegate::pinButtonRect(row, false).center());
    QTRY_VERIFY(!f.find(QStringLiteral("keep me")).pinned);

    // The delete button removes the row without asking.
    const qint64 older = f.find(QStringLiteral("older")).id;
    hover(vp, rowCentre(view, older));
    row = view.list().rowRect(older);
    QTest::mouseClick(vp, Qt::LeftButton, {}, ClipRowDelegate::deleteButtonRect(row).center());
    QCOMPARE(f.store.items().size(), 1);
    QCOMPARE(f.store.items().constFirst().id, id);
}

void TestPanelTabs::clearAsksFirst() {
    StoreFixture f;
    PanelState state;
    f.text(QStringLiteral("pinned one"), true);
    f.text(QStringLiteral("loose one"));
    ClipboardView view(state, f.store, PanelServices());
    view.resize(436, 480);
    view.show();
    auto* trash = view.findChild<QToolButton*>(QStringLiteral("clearHistory"));
    QVERIFY(trash);
    QCOMPARE(trash->toolTip(), QStringLiteral("Clear history"));

    auto answer = [&](const QString& button) {
        trash->click();
        QMessageBox* box = view.clearConfirmation();
        QVERIFY(box);
        QCOMPARE(box->text(), QStringLiteral("Clear clipboard history?"));
        QCOMPARE(box->informativeText(),
                 QStringLiteral("Pinned items are kept. This cannot be undone."));
        QPushButton* target = nullptr;
        for (QAbstractButton* b : box->buttons())
            if (b->text() == button)
                target = qobject_cast<QPushButton*>(b);
        QVERIFY(target);
        target->click();
        QTRY_VERIFY(!view.clearConfirmation());
    };
    answer(QStringLiteral("Cancel"));
    QCOMPARE(f.store.items().size(), 2);
    answer(QStringLiteral("Clear (keeps pinned)"));
    QCOMPARE(f.store.items().size(), 1);
    QCOMPARE(f.store.items().constFirst().text, QStringLiteral("pinned one"));
}

void TestPanelTabs::screenshotEmptyStateAndClick() {
    QTemporaryDir dir;
    PanelState state;
    QList<QUrl> copied;
    PanelServices services;
    services.copyScreenshot = [&](const QUrl& url) {
        copied << url;
    };
    ScreenshotsView view(state, services);
    view.resize(436, 480);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QVERIFY(view.showsEmptyState());
    QCOMPARE(view.emptyState().title(), QStringLiteral("No screenshots yet"));
    QCOMPARE(
        view.emptyState().subtitle(),
        QStringLiteral("Press PrtSc \u2014 new captures appear here\nand land on your clipboard."));

    QList<QUrl> shots;
    for (int i = 0; i < 5; ++i)
        shots << QUrl::fromLocalFile(makePng(dir.filePath(QStringLiteral("Shot %1.png").arg(i))));
    view.setScreenshots(shots);
    QVERIFY(!view.showsEmptyState());
    QCOMPARE(view.grid().columnCount(), 3); // 406 points beside the bar fit three columns
    QCOMPARE(ScreenshotGridView::columnsFor(412), std::make_pair(3, 130));
    QCOMPARE(ScreenshotGridView::columnsFor(90).first, 1);

    QWidget* vp = view.grid().viewport();
    const QRect second = view.grid().visualRect(view.model().index(1));
    QVERIFY(second.isValid());
    hover(vp, second.center());
    QCOMPARE(state.quickLookURL(), shots.at(1));

    const QRect fourth = view.grid().visualRect(view.model().index(3));
    // Three cells side by side, the fourth wrapped onto the second row.
    QCOMPARE(view.grid().visualRect(view.model().index(2)).top(), second.top());
    QVERIFY(fourth.top() > second.top());
    QTest::mouseClick(vp, Qt::LeftButton, {}, fourth.center());
    QCOMPARE(copied, QList<QUrl>{shots.at(3)});
    QCOMPARE(state.quickLookURL(), shots.at(3));
    QCOMPARE(Toast::shared().message(), QStringLiteral("Copied"));

    view.copyFileOnly(shots.at(0));
    QCOMPARE(Toast::shared().message(), QStringLiteral("Copied file"));
    QCOMPARE(QGuiApplication::clipboard()->mimeData()->urls(), QList<QUrl>{shots.at(0)});
}

void TestPanelTabs::renamePrompt() {
    PanelState state;
    QList<std::pair<QUrl, QString>> renames;
    PanelServices services;
    services.renameScreenshot = [&](const QUrl& url, const QString& name) -> std::optional<QUrl> {
        renames << std::make_pair(url, name);
        return std::nullopt;
    };
    ScreenshotsView view(state, services);
    const QUrl shot = QUrl::fromLocalFile(QStringLiteral("/tmp/shots/Screenshot 2026.03.04.png"));
    view.setScreenshots({shot});

    // Pre-filled with the name without its extension; Cancel renames nothing.
    view.startRename(shot);
    QVERIFY(view.renamePrompt());
    QCOMPARE(view.renamePrompt()->windowTitle(), QStringLiteral("Rename screenshot"));
    QCOMPARE(view.renamePrompt()->name(), QStringLiteral("Screenshot 2026.03.04"));
    QCOMPARE(view.renaming(), shot);
    view.renamePrompt()->cancelButton().click();
    QVERIFY(view.renaming().isEmpty());
    QVERIFY(renames.isEmpty());

    // Rename passes the edited text through; a refusal shows nothing.
    view.startRename(shot);
    view.renamePrompt()->field().setText(QStringLiteral("taken"));
    view.renamePrompt()->renameButton().click();
    QCOMPARE(renames.size(), 1);
    QCOMPARE(renames.constFirst().first, shot);
    QCOMPARE(renames.constFirst().second, QStringLiteral("taken"));
    QVERIFY(view.renaming().isEmpty());

    // Dismissing the prompt any other way clears it too.
    view.startRename(shot);
    view.renamePrompt()->reject();
    QVERIFY(view.renaming().isEmpty());
    QCOMPARE(renames.size(), 1);
}

void TestPanelTabs::thumbnailSecondLook() {
    QTemporaryDir dir;
    const QUrl ready = QUrl::fromLocalFile(makePng(dir.filePath("ready.png")));
    const QUrl late = QUrl::fromLocalFile(makePng(dir.filePath("late.png")));
    const QUrl never = QUrl::fromLocalFile(makePng(dir.filePath("never.png")));
    makePng(dir.filePath("thumb-ready.png"), Qt::blue);
    QHash<QUrl, int> generated;
    PanelServices services;
    services.thumbnailURL = [&](const QUrl& file) {
        return QUrl::fromLocalFile(dir.filePath("thumb-" + file.fileName()));
    };
    // The generator finishes "late" in time for the second look; "never" fails.
    services.generateThumbnail = [&](const QUrl& source, const QUrl& target) {
        ++generated[source];
        if (source == late)
            makePng(target.toLocalFile(), Qt::green);
    };
    ScreenshotListModel model(services);
    model.setScreenshots({ready, late, never});
    for (int row = 0; row < 3; ++row)
        QVERIFY(model.thumbnail(row).isNull()); // the first paint starts loading
    QTRY_COMPARE(model.thumbState(ready), ScreenshotListModel::ThumbState::loaded);
    QCOMPARE(generated.value(ready), 0);
    QTRY_COMPARE_WITH_TIMEOUT(model.thumbState(late), ScreenshotListModel::ThumbState::loaded,
                              5000);
    QCOMPARE(model.thumbnail(1).pixelColor(0, 0), QColor(Qt::green));
    QCOMPARE(generated.value(late), 1);
    QTRY_COMPARE_WITH_TIMEOUT(model.thumbState(never), ScreenshotListModel::ThumbState::missing,
                              5000);
    QCOMPARE(generated.value(never), 2); // once more at the second look, then no further look
    QVERIFY(model.thumbnail(2).isNull());

    // Shown again, a missing thumbnail gets a new chance.
    model.revisit();
    QVERIFY(model.thumbnail(2).isNull());
    QTRY_COMPARE_WITH_TIMEOUT(generated.value(never), 4, 5000);
}

void TestPanelTabs::footerFollowsTheTab() {
    StoreFixture f;
    PanelState state;
    PanelView view(state, f.store, PanelServices());
    QCOMPARE(view.size(), QSize(460, 560));
    QCOMPARE(view.hintText(), QStringLiteral("\u00B7 drag shots into any app"));
    state.setTab(PanelTab::clipboard);
    QCOMPARE(view.hintText(), QStringLiteral("\u00B7 \u2318\u21E7V opens this anywhere"));
    state.setTab(PanelTab::screenshots);
    QCOMPARE(view.hintText(), QStringLiteral("\u00B7 drag shots into any app"));
    QCOMPARE(PanelView::versionLabel(QString()), QStringLiteral("v1.0"));
    QCOMPARE(PanelView::versionLabel(QStringLiteral("2.3.1")), QStringLiteral("v2.3.1"));

    // Leaving the screenshots tab drops an open rename prompt.
    view.screenshotsView().startRename(QUrl::fromLocalFile(QStringLiteral("/tmp/a.png")));
    QVERIFY(view.screenshotsView().renamePrompt());
    state.setTab(PanelTab::clipboard);
    QVERIFY(view.screenshotsView().renaming().isEmpty());
}

QTEST_MAIN(TestPanelTabs)
#include "tst_paneltabs.moc"
