#include "OtherXClient.h"

#include "KeyboardShortcuts/Center.h"
#include "platform/HotKeyBackend.h"
#include "settings/JsonDefaultsStore.h"

#include <QAbstractNativeEventFilter>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

#include <cstdio>
#include <unistd.h>

using namespace KeyboardShortcuts;

namespace {
const Shortcut kCommandShiftV(Key::v, ModifierFlag::command | ModifierFlag::shift);
const Shortcut kControlOptionF5(Key::f5, ModifierFlag::control | ModifierFlag::option);
// X keycodes (evdev + 8) and masks of the default server keymap.
constexpr std::uint8_t kXV = 47 + 8;
constexpr std::uint8_t kXF5 = 63 + 8;
constexpr std::uint8_t kXSuperL = 125 + 8;
constexpr std::uint8_t kXSuperR = 126 + 8;
constexpr std::uint8_t kXShiftL = 42 + 8;
constexpr std::uint16_t kShiftSuper = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_4;
constexpr std::uint16_t kControlAlt = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;

void press(const QString& keys) {
    QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), keys}), 0);
}

void setLayout(const QString& layout) {
    QCOMPARE(QProcess::execute(QStringLiteral("setxkbmap"), {layout}), 0);
}

// What this process writes on standard output while run() runs.
QByteArray stdoutOf(const std::function<void()>& run) {
    QTemporaryFile file;
    file.open();
    std::fflush(stdout);
    const int saved = ::dup(1);
    ::dup2(file.handle(), 1);
    run();
    std::fflush(stdout);
    ::dup2(saved, 1);
    ::close(saved);
    QFile written(file.fileName());
    return written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray();
}

// Counts the releases of one key that reach this process, before any other
// filter sees them: what the X server sent, not what we made of it.
class ReleaseCounter : public QAbstractNativeEventFilter {
public:
    explicit ReleaseCounter(std::uint8_t keycode)
        : m_keycode(keycode) {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~ReleaseCounter() override { QCoreApplication::instance()->removeNativeEventFilter(this); }
    bool nativeEventFilter(const QByteArray&, void* message, qintptr*) override {
        const auto* event = static_cast<xcb_key_release_event_t*>(message);
        if ((event->response_type & 0x7f) == XCB_KEY_RELEASE && event->detail == m_keycode)
            ++count;
        return false;
    }
    int count = 0;

private:
    std::uint8_t m_keycode;
};
} // namespace

class TestX11HotKeys : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        QFile::remove(m_dir.filePath(QStringLiteral("defaults.json")));
        m_store =
            std::make_unique<JsonDefaultsStore>(m_dir.filePath(QStringLiteral("defaults.json")));
        makeCenter();
    }
    void cleanup() {
        m_center.reset(); // releases every grab before the next test
        m_backend.reset();
        qunsetenv("WAYLAND_DISPLAY");
        qunsetenv("XDG_SESSION_TYPE");
        // A failed test may leave keys down, and the server refuses to remap held modifiers.
        m_keyboard.fakeKeys({kXV, kXShiftL, kXSuperL}, false);
        setLayout(QStringLiteral("us")); // Super back on Mod4
    }
    void keyDelivery_data();
    void keyDelivery();
    void refusedRegistrations_data();
    void refusedRegistrations();
    void shortcutWorksWhileOurMenuIsOpen();
    void layoutNamesTheKeys();

private:
    void makeCenter() {
        m_center.reset();
        m_backend = HotKeyBackend::createForPlatform();
        m_center = std::make_unique<Center>(*m_store, *m_backend);
    }
    QTemporaryDir m_dir;
    std::unique_ptr<JsonDefaultsStore> m_store;
    std::unique_ptr<HotKeyBackend> m_backend;
    std::unique_ptr<Center> m_center;
    OtherXClient m_keyboard;
};

// One press of the shortcut, however it is made and whatever happens to the
// keymap after registering, reaches the handlers as one key-down and one
// key-up; and letting the handlers go gives the combination back to the desktop.
void TestX11HotKeys::keyDelivery_data() {
    QTest::addColumn<std::uint16_t>("superMask"); // where Super is moved after registering
    QTest::addColumn<bool>("newKeymap");          // a fresh keymap loaded after that
    QTest::addColumn<bool>("hold");               // held until the server auto-repeats
    QTest::addColumn<bool>("registeredWhileOff"); // while another shortcut is held, all off
    QTest::newRow("tap") << std::uint16_t(XCB_MOD_MASK_4) << false << false << false;
    QTest::newRow("held: auto-repeat is no new press")
        << std::uint16_t(XCB_MOD_MASK_4) << false << true << false;
    QTest::newRow("Super moved to Mod3")
        << std::uint16_t(XCB_MOD_MASK_3) << false << false << false;
    // Alt and Super then set the same bit: the press must still find its grab.
    QTest::newRow("Super shares Mod1 with Alt")
        << std::uint16_t(XCB_MOD_MASK_1) << false << false << false;
    QTest::newRow("new keymap after a remap")
        << std::uint16_t(XCB_MOD_MASK_3) << true << false << false;
    QTest::newRow("registered while shortcuts are off")
        << std::uint16_t(XCB_MOD_MASK_4) << false << false << true;
}

void TestX11HotKeys::keyDelivery() {
    QFETCH(std::uint16_t, superMask);
    QFETCH(bool, newKeymap);
    QFETCH(bool, hold);
    QFETCH(bool, registeredWhileOff);
    const Name openPanel(QStringLiteral("openPanel"), kCommandShiftV);
    QStringList log;
    m_center->onKeyDown(openPanel, [&] { log << QStringLiteral("down"); });
    m_center->onKeyUp(openPanel, [&] { log << QStringLiteral("up"); });
    OtherXClient other;
    if (registeredWhileOff) {
        // Off, the combinations are the desktop's, even one registered meanwhile.
        m_center->setEnabled(false);
        m_center->onKeyDown(Name(QStringLiteral("other"), kControlOptionF5), [] {});
        QVERIFY(other.isFree(kXF5, kControlAlt));
        QVERIFY(other.isFree(kXV, kShiftSuper));
        m_center->setEnabled(true);
        QVERIFY(!other.isFree(kXF5, kControlAlt));
    }
    QVERIFY(!other.isFree(kXV, kShiftSuper));

    QVERIFY(m_keyboard.moveKeysToModifier({kXSuperL, kXSuperR}, superMask));
    // The grab follows the keymap, Caps Lock variant included, and lets go of
    // the old combination.
    QTRY_VERIFY(!other.isFree(kXV, XCB_MOD_MASK_SHIFT | superMask));
    if (newKeymap) {
        setLayout(QStringLiteral("us")); // puts Super back on Mod4
        QTRY_VERIFY(!other.isFree(kXV, kShiftSuper));
        QVERIFY(other.isFree(kXV, XCB_MOD_MASK_SHIFT | superMask));
        superMask = XCB_MOD_MASK_4;
    }
    const auto shiftSuper = std::uint16_t(XCB_MOD_MASK_SHIFT | superMask);
    QVERIFY(!other.isFree(kXV, shiftSuper | XCB_MOD_MASK_LOCK));
    // Num Lock is Mod2 in the server's keymap; with Caps Lock as well, still ours.
    QVERIFY(!other.isFree(kXV, shiftSuper | XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2));
    if (superMask != XCB_MOD_MASK_4)
        QVERIFY(other.isFree(kXV, kShiftSuper));

    const ReleaseCounter releasesOfV(kXV);
    m_keyboard.fakeKeys({kXSuperL, kXShiftL, kXV}, true);
    if (hold) {
        // The server's own auto-repeat: release and press pairs of V.
        QTRY_VERIFY(releasesOfV.count >= 2);
        QCOMPARE(log, QStringList({"down"}));
    }
    m_keyboard.fakeKeys({kXV, kXShiftL, kXSuperL}, false);
    QTRY_COMPARE(log, QStringList({"down", "up"}));

    m_center->removeHandler(openPanel);
    QVERIFY(other.isFree(kXV, shiftSuper));
    QVERIFY(other.isFree(kXV, shiftSuper | XCB_MOD_MASK_LOCK));
    QVERIFY(other.isFree(kXV, kShiftSuper));
}

// A registration that cannot work says so on standard output and holds nothing.
void TestX11HotKeys::refusedRegistrations_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QByteArray>("variable"); // set to "wayland" before the backend is made
    QTest::addColumn<bool>("heldElsewhere");
    QTest::addColumn<QByteArray>("line");
    const QString commandShiftV = QString::fromUtf8(kCommandShiftV.toJson());
    QTest::newRow("held by another client")
        << QString::fromUtf8(kControlOptionF5.toJson()) << QByteArray() << true
        << QByteArray("Error registering hotkey ⌃⌥F5: 10\n");
    // Stored values are anyone's to edit; cut down to an int or to the known
    // bits they would grab Super+Shift+V and never match it.
    QTest::newRow("unknown modifier bit")
        << QStringLiteral(R"({"carbonKeyCode":9,"carbonModifiers":17152})") << QByteArray() << false
        << QByteArray("Error registering hotkey ⇧⌘V: 2\n");
    QTest::newRow("key code above 2^32")
        << QStringLiteral(R"({"carbonKeyCode":4294967305,"carbonModifiers":768})") << QByteArray()
        << false << QByteArray("Error registering hotkey ⇧⌘\uFFFD: 2\n");
    QTest::newRow("WAYLAND_DISPLAY") << commandShiftV << QByteArray("WAYLAND_DISPLAY") << false
                                     << QByteArray("Error registering hotkey ⇧⌘V: -1\n");
    QTest::newRow("XDG_SESSION_TYPE") << commandShiftV << QByteArray("XDG_SESSION_TYPE") << false
                                      << QByteArray("Error registering hotkey ⇧⌘V: -1\n");
}

void TestX11HotKeys::refusedRegistrations() {
    QFETCH(QString, stored);
    QFETCH(QByteArray, variable);
    QFETCH(bool, heldElsewhere);
    QFETCH(QByteArray, line);
    if (!variable.isEmpty()) {
        qputenv(variable.constData(), "wayland");
        makeCenter();
    }
    QCOMPARE(m_center->unavailableReason().isEmpty(), variable.isEmpty());
    const std::uint8_t keycode = heldElsewhere ? kXF5 : kXV;
    const std::uint16_t mask = heldElsewhere ? kControlAlt : kShiftSuper;
    OtherXClient other;
    if (heldElsewhere)
        QVERIFY(other.grab(keycode, mask));

    const Name name(QStringLiteral("refused"));
    m_store->setObject(storageKey(name), stored);
    QCOMPARE(m_center->isAvailableSystemWide(*m_center->getShortcut(name)), !heldElsewhere);
    QCOMPARE(stdoutOf([&] { m_center->onKeyDown(name, [] {}); }), line);
    // No variant of ours stayed behind.
    if (heldElsewhere)
        other.ungrab(keycode, mask);
    QVERIFY(other.isFree(keycode, mask));
    QVERIFY(other.isFree(keycode, mask | XCB_MOD_MASK_LOCK));
    QVERIFY(other.isFree(keycode, mask | XCB_MOD_MASK_2));
}

void TestX11HotKeys::shortcutWorksWhileOurMenuIsOpen() {
    const Name openPanel(QStringLiteral("openPanel"), kCommandShiftV);
    QStringList log;
    m_center->onKeyDown(openPanel, [&] { log << QStringLiteral("down"); });
    m_center->onKeyUp(openPanel, [&] { log << QStringLiteral("up"); });
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
    QCOMPARE(m_center->layoutCharacter(Key::v.rawValue), QStringLiteral("v"));
    QCOMPARE(m_center->layoutCharacter(Key::isoSection.rawValue), QStringLiteral("<"));
    QCOMPARE(Shortcut(Key::q, ModifierFlag::command).menuKeyEquivalent(*m_backend),
             QStringLiteral("q"));
    // A key code of a key without a character in the layout.
    QCOMPARE(m_center->description(Shortcut(Key::command, 0)), QStringLiteral("\uFFFD"));

    // Dead keys are named after their accent. Another client switches the
    // layout; it is read anew at each display.
    setLayout(QStringLiteral("de"));
    QCOMPARE(m_center->description(Shortcut(Key::equal, ModifierFlag::command)),
             QStringLiteral("⌘´"));
    QCOMPARE(m_center->layoutCharacter(Key::backtick.rawValue), QStringLiteral("^"));
    QCOMPARE(m_center->layoutCharacter(Key::y.rawValue), QStringLiteral("z"));
    setLayout(QStringLiteral("us"));
}

QTEST_MAIN(TestX11HotKeys)
#include "tst_x11hotkeys.moc"
