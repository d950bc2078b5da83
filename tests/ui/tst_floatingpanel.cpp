// The panel as a real window under Xvfb with a window manager: its size and
// picture, Escape, Space and hiding when another window takes the focus.
#include "app/Prefs.h"
#include "helpers/TempPrefs.h"
#include "history/ClipStore.h"
#include "history/Sha256.h"
#include "platform/freedesktop/JsonDefaultsStore.h"
#include "platform/freedesktop/XdgAutostartLoginItem.h"
#include "screenshots/ScreenshotWatcher.h"
#include "ui/ClipboardView.h"
#include "ui/FloatingPanel.h"
#include "ui/PanelState.h"
#include "ui/PanelView.h"
#include "ui/QuickLook.h"
#include "ui/ScreenshotListModel.h"
#include "ui/ScreenshotsView.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {
struct Fixture : TempPrefs {
    ClipStore store{dir.filePath(QStringLiteral("Quillet")), prefs};
    PanelState state;
    int remembered = 0;
    PanelServices services = [this] {
        PanelServices s;
        s.rememberFrontmostWindow = [this] {
            ++remembered;
        };
        return s;
    }();
    FloatingPanel panel{state, store, services};

    void present() {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        panel.positionBelow(QRect(screen.center().x() - 12, screen.top(), 24, 24));
        panel.present();
        QVERIFY(QTest::qWaitForWindowActive(&panel));
    }
};
} // namespace

class TestFloatingPanel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void showsAndGrabs();
    void escapeHidesAndKeepsState();
    void focusLossHidesUnlessPreviewing();
    void spacePreviewsTheHoveredFile();
    void followsTheRealWatcher();
};

void TestFloatingPanel::showsAndGrabs() {
    Fixture f;
    f.store.record(sha256Hex("a"), ClipKind::text, QStringLiteral("hello"), {}, {}, {}, {}, {}, {},
                   false);
    f.present();
    QCOMPARE(f.remembered, 1);
    QCOMPARE(f.panel.size(), QSize(460, 560));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    // The window manager may settle the mapped window a moment later.
    QTRY_COMPARE(f.panel.geometry().top(), screen.top() + 24 + 6);
    QTRY_COMPARE(f.panel.geometry().left(), screen.center().x() - 230);

    const QString png = f.dir.filePath(QStringLiteral("panel.png"));
    QVERIFY(f.panel.grab().save(png, "PNG"));
    const QImage image(png);
    QCOMPARE(image.size() / image.devicePixelRatio(), QSize(460, 560));
    // The sky is drawn (not a blank window) and the corners stay see-through.
    const QColor middle = image.pixelColor(image.width() / 2, 8);
    QVERIFY2(middle.alpha() == 255 && middle != QColor(Qt::black), qPrintable(middle.name()));
    QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
}

void TestFloatingPanel::escapeHidesAndKeepsState() {
    Fixture f;
    f.state.setTab(PanelTab::clipboard);
    f.state.setSearchText(QStringLiteral("needle"));
    f.present();
    QCOMPARE(f.panel.msecsSinceHidden(), -1);
    QTest::keyClick(&f.panel, Qt::Key_Escape);
    QTRY_VERIFY(!f.panel.isVisible());
    QVERIFY(f.panel.msecsSinceHidden() >= 0);
    QCOMPARE(f.state.searchText(), QStringLiteral("needle"));
    QCOMPARE(f.state.tab(), PanelTab::clipboard);

    // Escape typed while the search field has focus hides the panel as well.
    f.present();
    f.panel.view().clipboardView().searchField().setFocus();
    QTest::keyClick(&f.panel.view().clipboardView().searchField(), Qt::Key_Escape);
    QTRY_VERIFY(!f.panel.isVisible());
    QCOMPARE(f.state.searchText(), QStringLiteral("needle"));
}

void TestFloatingPanel::focusLossHidesUnlessPreviewing() {
    Fixture f;
    QWidget other;
    other.setWindowTitle(QStringLiteral("other application"));
    other.resize(200, 120);
    other.move(10, 500);

    f.present();
    other.show();
    other.activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(!f.panel.isVisible(), 5000);

    // While the preview is on screen the panel stays.
    const QString text = f.dir.filePath(QStringLiteral("notes.txt"));
    QFile file(text);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("some notes\n");
    file.close();
    f.present();
    QuickLook::show(QUrl::fromLocalFile(text));
    QTRY_VERIFY(QuickLook::isShowing());
    QCOMPARE(QuickLook::shared().mode(), QStringLiteral("text"));
    QTRY_VERIFY_WITH_TIMEOUT(QuickLook::shared().isActiveWindow(), 5000);
    QTest::qWait(200); // give a wrongful hide the chance to happen
    QVERIFY(f.panel.isVisible());

    // Closed again, the preview hands the keyboard back (or, when the window
    // manager gave it to another window instead, the panel hides); either way
    // the next focus loss hides it.
    QuickLook::shared().hide();
    QTRY_VERIFY_WITH_TIMEOUT(f.panel.isActiveWindow() || !f.panel.isVisible(), 5000);
    other.activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(!f.panel.isVisible(), 5000);
}

void TestFloatingPanel::spacePreviewsTheHoveredFile() {
    Fixture f;
    f.present();
    // Nothing hovered yet: Space does nothing special.
    QTest::keyClick(&f.panel, Qt::Key_Space);
    QVERIFY(!QuickLook::isShowing());
    QVERIFY(f.panel.isVisible());

    const QString pic = f.dir.filePath(QStringLiteral("shot.png"));
    QImage image(300, 200, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QVERIFY(image.save(pic));
    f.state.setQuickLookURL(QUrl::fromLocalFile(pic));
    QTest::keyClick(&f.panel, Qt::Key_Space);
    QTRY_VERIFY(QuickLook::isShowing());
    QCOMPARE(QuickLook::shared().url(), QUrl::fromLocalFile(pic));
    QCOMPARE(QuickLook::shared().mode(), QStringLiteral("image"));

    // Another file replaces the content of the one preview window.
    QuickLook::show(QUrl::fromLocalFile(f.dir.filePath(QStringLiteral("defaults.json"))));
    QCOMPARE(QuickLook::shared().mode(), QStringLiteral("file"));
    QuickLook::shared().hide();
    QVERIFY(f.panel.isVisible());
}

void TestFloatingPanel::followsTheRealWatcher() {
    // The panel built for the application uses the process's store and
    // watcher: a capture already in the screenshot folder shows in its grid.
    const QString folder = ScreenshotWatcher::screenshotFolder().toLocalFile();
    QVERIFY(QDir().mkpath(folder));
    QImage image(320, 200, QImage::Format_RGB32);
    image.fill(Qt::darkMagenta);
    const QString shot = folder + QStringLiteral("/Screenshot from 2026-03-04 10-00-00.png");
    QVERIFY(image.save(shot));
    PanelState state;
    FloatingPanel panel(state);
    QTRY_COMPARE_WITH_TIMEOUT(panel.view().screenshotsView().model().screenshots(),
                              QList<QUrl>{QUrl::fromLocalFile(shot)}, 10000);
    QVERIFY(!panel.view().screenshotsView().showsEmptyState());
}

QTEST_MAIN(TestFloatingPanel)
#include "tst_floatingpanel.moc"
