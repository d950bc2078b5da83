#include "OtherXClient.h"
#include "StdoutCapture.h"

#include "KeyboardShortcuts/KeyboardShortcuts.h"
#include "platform/HotKeyBackend.h"
#include "platform/freedesktop/JsonDefaultsStore.h"

#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace KeyboardShortcuts;

namespace {
const Shortcut kCommandShiftV(Key::v, ModifierFlag::command | ModifierFlag::shift);
const Shortcut kControlOptionF5(Key::f5, ModifierFlag::control | ModifierFlag::option);
// X keycodes (evdev + 8) and masks of the default server keymap.
constexpr std::uint8_t kXV = 47 + 8;
constexpr std::uint8_t kXF5 = 63 + 8;
constexpr std::uint16_t kShiftSuper = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_4;
constexpr std::uint16_t kControlAlt = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;

void press(const QString& keys) {
    QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), keys}), 0);
}
} // namespace

class TestX11HotKeys : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void grabbedShortcutRunsItsHandlersOnce();
    void combinationHeldElsewhereFailsToRegister();
    void shortcutWorksWhileOurMenuIsOpen();
    void layoutNamesTheKeys();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<JsonDefaultsStore> m_store;
};

void TestX11HotKeys::init() {
    QFile::remove(m_dir.filePath(QStringLiteral("defaults.json")));
    m_store = std::make_unique<JsonDefaultsStore>(m_dir.filePath(QStringLiteral("defaults.json")));
    setUp(m_store.get(), HotKeyBackend::createForPlatform());
}

void TestX11HotKeys::cleanup() {
    // Releases every grab before the next test.
    setUp(nullptr, nullptr);
    m_store.reset();
}

void TestX11HotKeys::grabbedShortcutRunsItsHandlersOnce() {
    const Name openPanel(QStringLiteral("openPanel"), kCommandShiftV);
    QStringList log;
    onKeyDown(openPanel, [&] { log << QStringLiteral("down"); });
    onKeyUp(openPanel, [&] { log << QStringLiteral("up"); });
    OtherXClient other;
    QVERIFY(!other.isFree(kXV, kShiftSuper));
    QVERIFY(!other.isFree(kXV, kShiftSuper | XCB_MOD_MASK_LOCK));

    press(QStringLiteral("super+shift+v"));
    QTRY_COMPARE(log, QStringList({"down", "up"}));
    // Plain V and other modifiers are not ours; events arrive in order, so the
    // next press shows whether they were taken.
    press(QStringLiteral("v"));
    press(QStringLiteral("ctrl+shift+v"));
    press(QStringLiteral("super+shift+v"));
    QTRY_COMPARE(log, QStringList({"down", "up", "down", "up"}));

    setEnabled(false);
    QVERIFY(other.isFree(kXV, kShiftSuper));
    setEnabled(true);
    QVERIFY(!other.isFree(kXV, kShiftSuper));
}

void TestX11HotKeys::combinationHeldElsewhereFailsToRegister() {
    OtherXClient other;
    QVERIFY(other.grab(kXF5, kControlAlt));
    QVERIFY(!isAvailableSystemWide(kControlOptionF5));
    QVERIFY(isAvailableSystemWide(kCommandShiftV));

    const Name name(QStringLiteral("taken"));
    StdoutCapture out;
    setShortcut(kControlOptionF5, name);
    QCOMPARE(out.text(), QByteArray("Error registering hotkey ⌃⌥F5: 10\n"));
    // No variant of ours stayed behind: once the other client lets go, it is free.
    other.ungrab(kXF5, kControlAlt);
    QVERIFY(other.grab(kXF5, kControlAlt | XCB_MOD_MASK_LOCK));
    QVERIFY(other.grab(kXF5, kControlAlt | XCB_MOD_MASK_2));
}

void TestX11HotKeys::shortcutWorksWhileOurMenuIsOpen() {
    const Name openPanel(QStringLiteral("openPanel"), kCommandShiftV);
    QStringList log;
    onKeyDown(openPanel, [&] { log << QStringLiteral("down"); });
    onKeyUp(openPanel, [&] { log << QStringLiteral("up"); });
    QMenu menu;
    int triggered = 0;
    menu.addAction(QStringLiteral("&Vanish"), [&] { ++triggered; });
    menu.addAction(QStringLiteral("&Other"), [&] { ++triggered; });
    menu.popup(QPoint(200, 200));
    QTRY_VERIFY(menu.isVisible());
    QTRY_VERIFY(QWidget::keyboardGrabber() == &menu || QApplication::activePopupWidget() == &menu);
    // The menu's keyboard grab keeps our root grabs from firing: the keys must
    // be caught on their way to the menu.
    OtherXClient other;
    QTRY_VERIFY(other.isFree(kXV, kShiftSuper));

    press(QStringLiteral("super+shift+v"));
    QTRY_COMPARE(log, QStringList({"down", "up"}));
    QVERIFY(menu.isVisible());
    QCOMPARE(triggered, 0);

    // Other keys still reach the menu.
    press(QStringLiteral("Escape"));
    QTRY_VERIFY(!menu.isVisible() && !QApplication::activePopupWidget());
    QCoreApplication::processEvents();
    press(QStringLiteral("super+shift+v"));
    QTRY_COMPARE(log.size(), 4);
}

void TestX11HotKeys::layoutNamesTheKeys() {
    QCOMPARE(layoutCharacter(Key::v.rawValue), QStringLiteral("v"));
    QCOMPARE(layoutCharacter(Key::comma.rawValue), QStringLiteral(","));
    QCOMPARE(kCommandShiftV.description(), QStringLiteral("⇧⌘V"));
    QCOMPARE(Shortcut(Key::q, ModifierFlag::command).menuKeyEquivalent(), QStringLiteral("q"));
    // A key code of a key without a character in the layout.
    QCOMPARE(Shortcut(Key::command, 0).description(), QStringLiteral("\uFFFD"));
}

QTEST_MAIN(TestX11HotKeys)
#include "tst_x11hotkeys.moc"
