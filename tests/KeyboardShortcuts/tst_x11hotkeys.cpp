#include "OtherXClient.h"

#include "KeyboardShortcuts/Center.h"
#include "KeyboardShortcuts/RecorderWidget.h"
#include "KeyboardShortcuts/Texts.h"
#include "platform/HotKeyBackend.h"
#include "settings/JsonDefaultsStore.h"

#include <QAbstractButton>
#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>
#include <unistd.h>

using namespace KeyboardShortcuts;
namespace MF = ModifierFlag;

namespace {
const Shortcut kCommandShiftV(Key::v, MF::command | MF::shift);
const Shortcut kControlOptionF5(Key::f5, MF::control | MF::option);
// X keycodes (evdev + 8) and masks of the default server keymap.
constexpr std::uint8_t kXV = 47 + 8;
constexpr std::uint8_t kXF5 = 63 + 8;
constexpr std::uint8_t kXF12 = 88 + 8;
constexpr std::uint8_t kXSuperL = 125 + 8;
constexpr std::uint8_t kXSuperR = 126 + 8;
constexpr std::uint8_t kXShiftL = 42 + 8;
constexpr std::uint16_t kShiftSuper = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_4;
constexpr std::uint16_t kControlAlt = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;

void run(const QString& program, const QStringList& arguments) {
    QCOMPARE(QProcess::execute(program, arguments), 0);
}

// What this process writes on standard output while action() runs.
QByteArray stdoutOf(const std::function<void()>& action) {
    QTemporaryFile file;
    file.open();
    std::fflush(stdout);
    const int saved = ::dup(1);
    ::dup2(file.handle(), 1);
    action();
    std::fflush(stdout);
    ::dup2(saved, 1);
    ::close(saved);
    QFile written(file.fileName());
    return written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray();
}
} // namespace

// Hot keys and the recorder under Xvfb. Most recorder keys are Qt key events
// carrying the X scan code; the end-to-end paths use xdotool.
class TestX11HotKeys : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        QFile::remove(m_dir.filePath(QStringLiteral("defaults.json")));
        m_store =
            std::make_unique<JsonDefaultsStore>(m_dir.filePath(QStringLiteral("defaults.json")));
        makeCenter();
    }
    void cleanup() {
        m_window.reset();
        QVERIFY(!m_center->shortcutsPaused());
        m_center.reset(); // releases every grab before the next test
        m_backend.reset();
        qunsetenv("WAYLAND_DISPLAY");
        // The server refuses to remap held modifiers.
        m_keyboard.fakeKeys({kXV, kXShiftL, kXSuperL}, false);
        run(QStringLiteral("setxkbmap"), {QStringLiteral("us")}); // Super back on Mod4
    }
    void keyDelivery_data();
    void keyDelivery();
    void refusedRegistrations_data();
    void refusedRegistrations();
    void shortcutWorksWhileOurMenuIsOpen();
    void layoutNamesTheKeys();
    void recorderKeyRules();
    void recordingEndsOnTabAndClickOutside();
    void recorderConflictsAreRefusedOrForced();

private:
    void makeCenter() {
        m_center.reset();
        m_backend = HotKeyBackend::createForPlatform();
        m_center = std::make_unique<Center>(*m_store, *m_backend);
    }
    // A window with a recorder for openPanel and a field after it, recording.
    void startRecording() {
        m_window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(m_window.get());
        m_recorder =
            new RecorderWidget(*m_center, Name(QStringLiteral("openPanel"), kCommandShiftV));
        m_other = new QLineEdit;
        layout->addWidget(m_recorder);
        layout->addWidget(m_other);
        layout->setContentsMargins(40, 40, 40, 40);
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        // The window's first focus never starts recording on its own.
        QTRY_VERIFY(!m_recorder->isRecording());
        QCOMPARE(m_recorder->text(), QStringLiteral("⇧⌘V"));
        m_recorder->setFocus(Qt::MouseFocusReason);
        QTRY_VERIFY(m_recorder->isRecording());
        QVERIFY(m_center->shortcutsPaused());
    }
    void sendKey(int qtKey, quint32 scanCode, Qt::KeyboardModifiers modifiers) {
        QKeyEvent press(QEvent::KeyPress, qtKey, modifiers, scanCode, 0, 0);
        QApplication::sendEvent(QApplication::focusWidget(), &press);
    }
    // Clicks the button of the next alert, keeping its message.
    void answerAlert(const QString& button) {
        QTimer::singleShot(20, this, [this, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return answerAlert(button);
            m_alertText = box->text() + u'\n' + box->informativeText();
            for (QAbstractButton* b : box->buttons())
                if (b->text() == button)
                    b->click();
        });
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_recorder && event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton)
            ++m_middleReleases;
        return false;
    }
    // Releases of V as the X server sent them, before any other filter.
    bool nativeEventFilter(const QByteArray&, void* message, qintptr*) override {
        const auto* event = static_cast<xcb_key_release_event_t*>(message);
        if ((event->response_type & 0x7f) == XCB_KEY_RELEASE && event->detail == kXV)
            ++m_releasesOfV;
        return false;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<JsonDefaultsStore> m_store;
    std::unique_ptr<HotKeyBackend> m_backend;
    std::unique_ptr<Center> m_center;
    OtherXClient m_keyboard;
    int m_releasesOfV = 0;
    std::unique_ptr<QWidget> m_window;
    RecorderWidget* m_recorder = nullptr;
    QLineEdit* m_other = nullptr;
    QString m_alertText;
    int m_middleReleases = 0;
};

// One press, whatever happens to the keymap after registering, is one key-down
// and one key-up; letting the handlers go gives the combination back.
void TestX11HotKeys::keyDelivery_data() {
    QTest::addColumn<std::uint16_t>("superMask"); // where Super is moved after registering
    QTest::addColumn<bool>("hold");               // held until the server auto-repeats
    QTest::newRow("held: auto-repeat is no new press") << std::uint16_t(XCB_MOD_MASK_4) << true;
    QTest::newRow("Super moved to Mod3") << std::uint16_t(XCB_MOD_MASK_3) << false;
    // Alt and Super then set the same bit: the press must still find its grab.
    QTest::newRow("Super shares Mod1 with Alt") << std::uint16_t(XCB_MOD_MASK_1) << false;
}

void TestX11HotKeys::keyDelivery() {
    QFETCH(std::uint16_t, superMask);
    QFETCH(bool, hold);
    const Name openPanel(QStringLiteral("openPanel"), kCommandShiftV);
    QStringList log;
    m_center->onKeyDown(openPanel, [&] { log << QStringLiteral("down"); });
    m_center->onKeyUp(openPanel, [&] { log << QStringLiteral("up"); });
    OtherXClient other;
    QVERIFY(!other.isFree(kXV, kShiftSuper));

    QVERIFY(m_keyboard.moveKeysToModifier({kXSuperL, kXSuperR}, superMask));
    // The grab follows the keymap, Caps Lock variant included, and lets go of
    // the old combination.
    QTRY_VERIFY(!other.isFree(kXV, XCB_MOD_MASK_SHIFT | superMask));
    const auto shiftSuper = std::uint16_t(XCB_MOD_MASK_SHIFT | superMask);
    QVERIFY(!other.isFree(kXV, shiftSuper | XCB_MOD_MASK_LOCK));
    // Num Lock is Mod2 in the server's keymap; with Caps Lock as well, still ours.
    QVERIFY(!other.isFree(kXV, shiftSuper | XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2));
    if (superMask != XCB_MOD_MASK_4)
        QVERIFY(other.isFree(kXV, kShiftSuper));

    m_releasesOfV = 0;
    QCoreApplication::instance()->installNativeEventFilter(this); // first, before the backend's
    m_keyboard.fakeKeys({kXSuperL, kXShiftL, kXV}, true);
    if (hold) {
        // The server's own auto-repeat: release and press pairs of V.
        QTRY_VERIFY(m_releasesOfV >= 2);
        QCOMPARE(log, QStringList({"down"}));
    }
    m_keyboard.fakeKeys({kXV, kXShiftL, kXSuperL}, false);
    QTRY_COMPARE(log, QStringList({"down", "up"}));

    m_center->removeHandler(openPanel);
    QVERIFY(other.isFree(kXV, shiftSuper));
    QVERIFY(other.isFree(kXV, shiftSuper | XCB_MOD_MASK_LOCK));
}

// A registration that cannot work says so on standard output and holds nothing.
void TestX11HotKeys::refusedRegistrations_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QByteArray>("variable"); // set to "wayland" before the backend is made
    QTest::addColumn<bool>("heldElsewhere");
    QTest::addColumn<QByteArray>("line");
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
    QTest::newRow("WAYLAND_DISPLAY")
        << QString::fromUtf8(kCommandShiftV.toJson()) << QByteArray("WAYLAND_DISPLAY") << false
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

    run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("super+shift+v")});
    QTRY_COMPARE(log, QStringList({"down", "up"}));
    QVERIFY(menu.isVisible());
    QCOMPARE(triggered, 0);

    // Other keys still reach the menu.
    run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Escape")});
    QTRY_VERIFY(!menu.isVisible() && !QApplication::activePopupWidget());
    QCoreApplication::processEvents();
    run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("super+shift+v")});
    QTRY_COMPARE(log.size(), 4);
}

void TestX11HotKeys::layoutNamesTheKeys() {
    QCOMPARE(m_center->layoutCharacter(Key::isoSection.rawValue), QStringLiteral("<"));
    // A key code of a key without a character in the layout.
    QCOMPARE(m_center->description(Shortcut(Key::command, 0)), QStringLiteral("\uFFFD"));

    // Another client switches to a layout with dead keys, named after their accent.
    run(QStringLiteral("setxkbmap"), {QStringLiteral("de")});
    QCOMPARE(m_center->description(Shortcut(Key::equal, MF::command)), QStringLiteral("⌘´"));
}

void TestX11HotKeys::recorderKeyRules() {
    startRecording();
    const Name name = m_recorder->shortcutName();
    QSignalSpy changed(m_recorder, &RecorderWidget::shortcutChanged);
    // Shift is no modifier of its own, Shift-Tab no shortcut, and a modifier
    // alone waits for its key.
    sendKey(Qt::Key_V, kXV, Qt::ShiftModifier);
    sendKey(Qt::Key_Backtab, 15 + 8, Qt::ShiftModifier);
    sendKey(Qt::Key_Shift, kXShiftL, Qt::ShiftModifier);
    QVERIFY(m_recorder->isRecording());
    sendKey(Qt::Key_Escape, 1 + 8, {});
    QVERIFY(!m_recorder->isRecording());
    QCOMPARE(changed.size(), 0);
    QCOMPARE(m_center->getShortcut(name), kCommandShiftV);
    QCOMPARE(m_recorder->text(), QStringLiteral("⇧⌘V"));

    // A function key alone is one; so is the ISO key beyond the US layout.
    const struct {
        Qt::Key key;
        quint32 scanCode;
        Qt::KeyboardModifiers modifiers;
        Shortcut shortcut;
    } taken[] = {{Qt::Key_F5, kXF5, {}, Shortcut(Key::f5, 0)},
                 {Qt::Key_Less, 86 + 8, Qt::MetaModifier, Shortcut(Key::isoSection, MF::command)}};
    for (const auto& [key, scanCode, modifiers, shortcut] : taken) {
        m_recorder->setFocus(Qt::MouseFocusReason);
        QTRY_VERIFY(m_recorder->isRecording());
        sendKey(key, scanCode, modifiers);
        QCOMPARE(m_center->getShortcut(name), shortcut);
        QVERIFY(!m_recorder->isRecording());
        QCOMPARE(m_recorder->text(), m_center->description(shortcut));
    }
    QCOMPARE(changed.size(), 2);

    // Real keys: the recorder sees the combination itself instead of our grab.
    int handled = 0;
    m_center->onKeyUp(name, [&] { ++handled; });
    m_recorder->setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(m_recorder->isRecording());
    run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("super+alt+v")});
    QTRY_COMPARE(m_center->getShortcut(name), Shortcut(Key::v, MF::command | MF::option));
    QVERIFY(!m_recorder->isRecording());
    QCOMPARE(handled, 0);
    // Recording over, the new shortcut works system-wide.
    run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("super+alt+v")});
    QTRY_COMPARE(handled, 1);
}

void TestX11HotKeys::recordingEndsOnTabAndClickOutside() {
    startRecording();
    QSignalSpy changed(m_recorder, &RecorderWidget::shortcutChanged);
    sendKey(Qt::Key_Backspace, 14 + 8, {});
    // The name has a default, so the removal is kept as false.
    QCOMPARE(m_store->object(QStringLiteral("KeyboardShortcuts_openPanel")), QJsonValue(false));
    QCOMPARE(changed.size(), 1);
    QVERIFY(m_recorder->text().isEmpty());
    QVERIFY(m_recorder->isRecording());
    QTest::keyClick(m_recorder, Qt::Key_Tab);
    QTRY_VERIFY(m_other->hasFocus());
    QVERIFY(!m_recorder->isRecording());
    QVERIFY(!m_center->shortcutsPaused());

    m_recorder->setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(m_recorder->isRecording());
    // A real middle click on the field pastes nothing into it.
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted"), QClipboard::Selection);
    m_recorder->installEventFilter(this);
    const QPoint centre = m_recorder->mapToGlobal(m_recorder->rect().center());
    run(QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"), QString::number(centre.x()), QString::number(centre.y()),
         QStringLiteral("click"), QStringLiteral("2")});
    QTRY_COMPARE(m_middleReleases, 1);
    QVERIFY(m_recorder->text().isEmpty());
    const QRect r = m_recorder->geometry();
    // Within 3 points of the edge counts as inside.
    QTest::mouseClick(m_window.get(), Qt::LeftButton, {}, QPoint(r.right() + 3, r.center().y()));
    QVERIFY(m_recorder->isRecording());
    QTest::mouseClick(m_window.get(), Qt::RightButton, {}, QPoint(r.right() + 8, r.center().y()));
    QVERIFY(!m_recorder->isRecording());
}

void TestX11HotKeys::recorderConflictsAreRefusedOrForced() {
    startRecording();
    // One of our own menu items: refused, and recording resumes for another try.
    m_center->setMenuItems({{QStringLiteral("Settings…"), QStringLiteral(","), MF::command, {}}});
    answerAlert(localized("ok"));
    sendKey(Qt::Key_Comma, 51 + 8, Qt::MetaModifier);
    QVERIFY(m_alertText.contains(QStringLiteral("“Settings…”")));
    QCOMPARE(m_center->getShortcut(m_recorder->shortcutName()), kCommandShiftV);
    QTRY_VERIFY(m_recorder->isRecording());

    // Another application's: the user may force it.
    OtherXClient other;
    QVERIFY(other.grab(kXF5, kControlAlt));
    QVERIFY(other.grab(kXF12, 0));
    const Qt::KeyboardModifiers controlAlt = Qt::ControlModifier | Qt::AltModifier;
    answerAlert(localized("ok"));
    sendKey(Qt::Key_F5, kXF5, controlAlt);
    QCOMPARE(m_alertText, localized("keyboard_shortcut_used_by_system") + u'\n' +
                              localized("keyboard_shortcuts_can_be_changed"));
    QCOMPARE(m_center->getShortcut(m_recorder->shortcutName()), kCommandShiftV);
    QTRY_VERIFY(m_recorder->isRecording());

    m_alertText.clear();
    answerAlert(localized("force_use_shortcut"));
    sendKey(Qt::Key_F5, kXF5, controlAlt);
    QVERIFY(!m_alertText.isEmpty());
    QCOMPARE(m_center->getShortcut(m_recorder->shortcutName()), kControlOptionF5);
    QCOMPARE(m_recorder->text(), QStringLiteral("⌃⌥F5"));

    // F12 alone is taken without asking.
    m_recorder->setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(m_recorder->isRecording());
    m_alertText.clear();
    sendKey(Qt::Key_F12, kXF12, {});
    QCOMPARE(m_center->getShortcut(m_recorder->shortcutName()), Shortcut(Key::f12, 0));
    QVERIFY(m_alertText.isEmpty());
    QVERIFY(!QApplication::activeModalWidget());
}

QTEST_MAIN(TestX11HotKeys)
#include "tst_x11hotkeys.moc"
