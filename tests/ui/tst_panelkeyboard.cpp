// The panel, the settings and the picker without a mouse: keys through the
// focused widget, and names and roles through the accessibility interface.
#include "PanelFixture.h"
#include "ui/panel/ClipListView.h"
#include "ui/panel/ClipPreviewPopover.h"
#include "ui/panel/ClipboardView.h"
#include "ui/panel/FloatingPanel.h"
#include "ui/panel/PanelView.h"
#include "ui/panel/ScreenshotGridView.h"
#include "ui/panel/ScreenshotsView.h"
#include "ui/panel/TabSwitcher.h"
#include "ui/settings/SettingsWindow.h"

#include <QAccessible>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>

namespace {
// Controls the keyboard reaches or a screen reader can press, whose name is
// missing or whose role says nothing (a bare widget).
void findUnnamed(QAccessibleInterface* node, QStringList& out) {
    static const QList<QAccessible::Role> pressable{
        QAccessible::Button,   QAccessible::CheckBox, QAccessible::RadioButton,
        QAccessible::PageTab,  QAccessible::ComboBox, QAccessible::EditableText,
        QAccessible::ListItem, QAccessible::Link};
    for (int i = 0; i < node->childCount(); ++i) {
        QAccessibleInterface* child = node->child(i);
        if (child->state().invisible)
            continue;
        if ((child->state().focusable || pressable.contains(child->role())) &&
            (child->text(QAccessible::Name).isEmpty() || child->role() == QAccessible::Client))
            out << (child->object() ? child->object()->metaObject()->className() : "item");
        findUnnamed(child, out);
    }
}
} // namespace

class TestPanelKeyboard : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void keyboardAndScreenReader();
};

void TestPanelKeyboard::keyboardAndScreenReader() {
    Fixture f;
    for (const char* text : {"alpha", "beta", "gamma"})
        f.text(QString::fromLatin1(text));
    f.state.setTab(PanelTab::clipboard);
    FloatingPanel panel(f.state, f.ui);
    panel.present();
    QVERIFY(QTest::qWaitForWindowActive(&panel));
    QLineEdit& search = panel.view().clipboardView().searchField();
    QCOMPARE(QApplication::focusWidget(), &search);
    const auto press = [](Qt::Key key, Qt::KeyboardModifiers mods = {}, int times = 1) {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(QApplication::focusWidget(), key, mods);
    };

    // The arrows stop at the ends (gamma is the newest).
    press(Qt::Key_Down, {}, 4);
    press(Qt::Key_Up);
    press(Qt::Key_Return);
    QCOMPARE(f.copied(), QStringLiteral("beta"));

    // Typing searches and makes the first match current; Space and Delete
    // edit the text until the arrows choose a row.
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("gam"));
    press(Qt::Key_Space);
    QCOMPARE(f.state.searchText(), QStringLiteral("gam "));
    press(Qt::Key_Return);
    QCOMPARE(f.copied(), QStringLiteral("gamma"));
    press(Qt::Key_Down);
    press(Qt::Key_Space);
    QTRY_VERIFY(qobject_cast<ClipPreviewPopover*>(QApplication::activePopupWidget()));
    QApplication::activePopupWidget()->close();
    // Offscreen, no window is active after a popup (X11 gives the keyboard back).
    panel.present();
    press(Qt::Key_Delete);
    QCOMPARE(texts(f.store().items()), (QStringList{"beta", "alpha"}));
    f.state.setSearchText({});

    // Ctrl+Tab and Ctrl+1/2 switch tabs, the keyboard going along. In the
    // grid the arrows move by columns and rows.
    QList<QUrl> shots;
    for (int i = 0; i < 5; ++i)
        shots << QUrl::fromLocalFile(makePng(f.dir.filePath(QStringLiteral("%1.png").arg(i))));
    panel.setScreenshots(shots);
    press(Qt::Key_Tab, Qt::ControlModifier);
    ScreenshotGridView& grid = panel.view().screenshotsView().grid();
    QCOMPARE(QApplication::focusWidget(), &grid);
    press(Qt::Key_Right, {}, 2);
    press(Qt::Key_Down);
    const QUrl chosen = shots.at(1 + grid.columnCount());
    press(Qt::Key_Return);
    QCOMPARE(f.pasteboard().fileUrls(), QList<QUrl>{chosen});
    press(Qt::Key_Space);
    QTRY_VERIFY(f.quickLook.isVisible());
    QCOMPARE(f.quickLook.url(), chosen);
    f.quickLook.hide();
    QTRY_COMPARE(QApplication::focusWidget(), &grid);
    press(Qt::Key_2, Qt::ControlModifier);
    QCOMPARE(QApplication::focusWidget(), &search);

    // The menu key opens the current row's menu.
    press(Qt::Key_Down, {}, 2);
    QTimer::singleShot(0, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        menu->actions().constFirst()->trigger(); // "Copy"
        menu->close();
    });
    press(Qt::Key_Menu);
    QCOMPARE(f.copied(), QStringLiteral("alpha"));
    QTest::keyClick(&panel, Qt::Key_1, Qt::ControlModifier); // none has the keyboard offscreen
    QCOMPARE(f.state.tab(), PanelTab::screenshots);

    QStringList unnamed;
    for (PanelTab tab : {PanelTab::screenshots, PanelTab::clipboard}) {
        f.state.setTab(tab);
        panel.present();
        findUnnamed(QAccessible::queryAccessibleInterface(&panel), unnamed);
    }
    SettingsWindow settings(f.ui);
    settings.show();
    for (SettingsSection section : SettingsSections::all()) {
        settings.setSection(section);
        findUnnamed(QAccessible::queryAccessibleInterface(&settings), unnamed);
    }
    f.picker.show();
    findUnnamed(QAccessible::queryAccessibleInterface(&f.picker), unnamed);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u", ")));
    // The painted tabs are tabs that can be pressed; the list's rows tell
    // their meta line too.
    QAccessibleInterface* tabs =
        QAccessible::queryAccessibleInterface(panel.findChild<TabSwitcher*>());
    QCOMPARE(tabs->role(), QAccessible::PageTabList);
    QAccessibleInterface* shotsTab = tabs->child(0);
    QCOMPARE(shotsTab->text(QAccessible::Name), QStringLiteral("Screenshots"));
    shotsTab->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QVERIFY(shotsTab->state().selected && f.state.tab() == PanelTab::screenshots);
    QAccessibleInterface* list =
        QAccessible::queryAccessibleInterface(&panel.view().clipboardView().list());
    QVERIFY(list->child(0)->text(QAccessible::Description).contains(QStringLiteral("ago")));
}

QTEST_MAIN(TestPanelKeyboard)
#include "tst_panelkeyboard.moc"
