// The panel as a real window under Xvfb with a window manager: Escape,
// Space, hiding when another window takes the focus, and context menus
// opened by real right clicks through the X server.
#include "helpers/WiredServices.h"
#include "screenshots/ScreenshotWatcher.h"
#include "ui/QuickLook.h"
#include "ui/panel/ClipListView.h"
#include "ui/panel/ClipboardView.h"
#include "ui/panel/FloatingPanel.h"
#include "ui/panel/PanelState.h"
#include "ui/panel/PanelView.h"
#include "ui/panel/ScreenshotGridView.h"
#include "ui/panel/ScreenshotListModel.h"
#include "ui/panel/ScreenshotsView.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QProcess>
#include <QScopeGuard>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {
// The panel's services on the null platform: its in-process clipboard shows
// what a menu's "Copy" chose; the window itself is a real X11 window.
struct Fixture : WiredServices {
    explicit Fixture(const QString& platform = QStringLiteral("null"))
        : WiredServices(platform) {}
    PanelState state;
    FloatingPanel panel{state, ui};

    void record(const char* text) { WiredServices::text(QString::fromLatin1(text)); }
    QString copiedText() { return pasteboard().string().value_or(QString()); }

    void present() {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        panel.positionBelow(QRect(screen.center().x() - 12, screen.top(), 24, 24));
        panel.present();
        QVERIFY(QTest::qWaitForWindowActive(&panel));
    }
};

// Right-clicks `widget` with xdotool, as a mouse would, and chooses "Copy" from
// a timer, as the menu runs its own event loop.
void rightClickAndCopy(QWidget* widget, QPoint pos) {
    QTimer choose;
    choose.setInterval(20);
    bool chosen = false;
    QObject::connect(&choose, &QTimer::timeout, [&chosen] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            menu->actions().constFirst()->trigger();
            menu->close();
            chosen = true;
        }
    });
    choose.start();
    const QPoint at = widget->mapToGlobal(pos);
    QProcess::execute(
        "xdotool", {"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "3"});
    QVERIFY(QTest::qWaitFor([&chosen] { return chosen; }, 5000));
}
} // namespace

class TestFloatingPanel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void escapeHidesAndSpacePreviews();
    void focusLossHidesUnlessPreviewing();
    void menusBelongToTheItemClicked();
};

void TestFloatingPanel::escapeHidesAndSpacePreviews() {
    Fixture f;
    f.state.setTab(PanelTab::clipboard);
    f.state.setSearchText(QStringLiteral("needle"));
    f.present();
    // Typed into the search field, which has the keyboard.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!f.panel.isVisible());
    QVERIFY(f.panel.msecsSinceHidden() >= 0);
    QCOMPARE(f.state.searchText(), QStringLiteral("needle"));

    // Space previews the hovered file, and the panel stays behind it.
    f.present();
    const QString pic = f.dir.filePath(QStringLiteral("shot.png"));
    QVERIFY(QImage(300, 200, QImage::Format_RGB32).save(pic));
    f.state.setQuickLookURL(QUrl::fromLocalFile(pic));
    QTest::keyClick(&f.panel, Qt::Key_Space);
    QTRY_VERIFY(f.quickLook.isVisible());
    QCOMPARE(f.quickLook.url(), QUrl::fromLocalFile(pic));
    f.quickLook.hide();
    QVERIFY(f.panel.isVisible());
}

// The keyboard going to another application hides the panel, whatever of
// its own is open; within Quillet its preview and dialogs keep it open.
void TestFloatingPanel::focusLossHidesUnlessPreviewing() {
    Fixture f;
    f.record("kept");
    QProcess other;
    other.start(QStringLiteral(KEYPROBE_PATH), {QStringLiteral("Keyprobe")});
    QByteArray out;
    QTRY_VERIFY_WITH_TIMEOUT((out += other.readAllStandardOutput()).contains("ready"), 10000);
    const QString otherWindow = QString::fromLatin1(out.split(' ').value(1).trimmed());
    // Clear of the panel and the preview, which open near the middle.
    QProcess::execute("xdotool", {"windowmove", "--sync", otherWindow, "20", "800"});
    auto clickOther = [&otherWindow] {
        QProcess::execute("xdotool",
                          {"mousemove", "--window", otherWindow, "50", "50", "click", "1"});
    };
    QuickLook& preview = f.quickLook;
    auto cleanup = qScopeGuard([&other, &preview] {
        preview.hide();
        other.kill();
        other.waitForFinished();
    });

    f.present();
    clickOther();
    QTRY_VERIFY_WITH_TIMEOUT(!f.panel.isVisible(), 5000);

    // While the preview or a dialog is in front the panel stays; from any of
    // them (the preview, the Clear confirmation or the Rename prompt), a click
    // in another application hides the panel and its dialog.
    const QString text = f.dir.filePath(QStringLiteral("shot.png"));
    QVERIFY(QImage(30, 20, QImage::Format_RGB32).save(text));
    f.panel.setScreenshots({QUrl::fromLocalFile(text)});
    const QList<std::function<QWidget*()>> openers{
        [&text, &preview] {
            preview.preview(QUrl::fromLocalFile(text));
            return &preview;
        },
        [&f] {
            f.panel.view().clipboardView().requestClear();
            return f.panel.view().clipboardView().clearConfirmation();
        },
        [&f, &text] {
            f.panel.view().screenshotsView().startRename(QUrl::fromLocalFile(text));
            return f.panel.view().screenshotsView().renamePrompt();
        }};
    for (const auto& open : openers) {
        f.present();
        QPointer<QWidget> own = open();
        const QString name = own->metaObject()->className();
        QTRY_VERIFY_WITH_TIMEOUT(own->isActiveWindow(), 5000);
        QVERIFY2(f.panel.isVisible(), qPrintable(name));
        clickOther();
        QTRY_VERIFY2_WITH_TIMEOUT(!f.panel.isVisible(), qPrintable(name), 5000);
        if (own != &preview)
            QTRY_VERIFY(!own || !own->isVisible());
        preview.hide();
    }
    // Dismissed, the dialogs cancel: nothing was cleared or renamed.
    QCOMPARE(f.store().items().size(), 1);
    QVERIFY(QFile::exists(text));
}

// Each menu must be the one of the row or cell under the pointer, right up to
// its edges: Delete there acts at once and without asking.
void TestFloatingPanel::menusBelongToTheItemClicked() {
    // The captures as the X11 platform's watcher lists them from the
    // session's screenshot folder; "Copy" reaches the real X clipboard.
    Fixture f(QStringLiteral("x11"));
    for (const char* text : {"first", "second", "third"})
        f.record(text);
    const QString folder = f.services.watcher().dir().toLocalFile();
    QVERIFY(QDir().mkpath(folder));
    for (int i = 0; i < 5; ++i)
        QVERIFY(QImage(160, 100, QImage::Format_RGB32)
                    .save(folder + QStringLiteral("/Screenshot from 2026-03-0%1.png").arg(i)));
    ScreenshotsView& shotsView = f.panel.view().screenshotsView();
    QTRY_VERIFY_WITH_TIMEOUT(shotsView.model().screenshots().size() >= 5, 10000);
    const QList<QUrl> shots = shotsView.model().screenshots();
    f.state.setTab(PanelTab::clipboard);
    f.present();
    ClipListView& list = f.panel.view().clipboardView().list();
    const ClipItemList items = f.store().items();
    QTRY_VERIFY(list.rowRect(items.last().id).isValid());
    const auto check = [&f](QWidget* viewport, const QList<QPoint>& points, auto copied) {
        for (const QPoint at : points) {
            f.pasteboard().clearContents();
            rightClickAndCopy(viewport, at);
            QTRY_VERIFY2(copied(), qPrintable(QString::asprintf("at %d,%d", at.x(), at.y())));
        }
    };
    for (const ClipItem& item : items) {
        const QRect row = list.rowRect(item.id);
        check(list.viewport(),
              {row.topLeft(), QPoint(row.center().x(), row.top()), row.bottomRight(),
               QPoint(row.left(), row.bottom())},
              [&] { return f.copiedText() == *item.text; });
    }

    f.state.setTab(PanelTab::screenshots);
    ScreenshotGridView& grid = shotsView.grid();
    QVERIFY(grid.columnCount() < shots.size()); // two rows at least
    for (int i = 0; i < shots.size(); ++i) {
        const QRect cell = grid.visualRect(grid.model()->index(i, 0));
        check(grid.viewport(),
              {cell.topLeft(), QPoint(cell.left(), cell.center().y()),
               QPoint(cell.center().x(), cell.top())},
              [&] { return f.pasteboard().fileUrls() == QList<QUrl>{shots.at(i)}; });
    }
}

QTEST_MAIN(TestFloatingPanel)
#include "tst_floatingpanel.moc"
