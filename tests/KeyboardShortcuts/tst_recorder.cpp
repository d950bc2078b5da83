#include "OtherXClient.h"

#include "KeyboardShortcuts/Center.h"
#include "KeyboardShortcuts/RecorderWidget.h"
#include "KeyboardShortcuts/Texts.h"
#include "platform/HotKeyBackend.h"
#include "settings/JsonDefaultsStore.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

using namespace KeyboardShortcuts;
namespace MF = ModifierFlag;

namespace {
const Shortcut kCommandShiftV(Key::v, MF::command | MF::shift);
// X keycodes: evdev + 8.
constexpr quint32 kScanV = 47 + 8;
constexpr quint32 kScanF5 = 63 + 8;
constexpr quint32 kScanF12 = 88 + 8;
constexpr quint32 kScanTab = 15 + 8;
constexpr quint32 kScanComma = 51 + 8;
constexpr quint32 kScanEscape = 1 + 8;
constexpr quint32 kScanBackspace = 14 + 8;

void xdotool(const QStringList& arguments) {
    QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), arguments), 0);
}
} // namespace

// Recorder rules on a real window under Xvfb. Most keys are sent as Qt key
// events carrying the X scan code (the rules are about the combination, not
// its way in); the end-to-end paths use xdotool.
class TestRecorder : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void keyRules_data();
    void keyRules();
    void deleteClearsTabLeaves();
    void clickOutsideEndsRecording();
    void conflictsAreRefusedOrForced();
    void recordingPausesTheGlobalShortcut();

private:
    void sendKey(int qtKey, quint32 scanCode, Qt::KeyboardModifiers modifiers);
    // Answers the next alert with the button of the given text, keeping its message.
    void answerAlert(const QString& button);

    QTemporaryDir m_dir;
    std::unique_ptr<JsonDefaultsStore> m_store;
    std::unique_ptr<HotKeyBackend> m_backend;
    std::unique_ptr<Center> m_center;
    std::unique_ptr<QWidget> m_window;
    RecorderWidget* m_recorder = nullptr;
    QLineEdit* m_other = nullptr;
    QString m_alertText;
    int m_middleReleases = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_recorder && event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton)
            ++m_middleReleases;
        return false;
    }
};

void TestRecorder::init() {
    QFile::remove(m_dir.filePath(QStringLiteral("defaults.json")));
    m_store = std::make_unique<JsonDefaultsStore>(m_dir.filePath(QStringLiteral("defaults.json")));
    m_backend = HotKeyBackend::createForPlatform();
    m_center = std::make_unique<Center>(*m_store, *m_backend);
    m_window = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(m_window.get());
    m_recorder = new RecorderWidget(*m_center, Name(QStringLiteral("openPanel"), kCommandShiftV));
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
    m_alertText.clear();
}

void TestRecorder::cleanup() {
    m_window.reset();
    QVERIFY(!m_center->shortcutsPaused());
    m_center.reset();
    m_backend.reset();
}

void TestRecorder::sendKey(int qtKey, quint32 scanCode, Qt::KeyboardModifiers modifiers) {
    QKeyEvent press(QEvent::KeyPress, qtKey, modifiers, scanCode, 0, 0);
    QApplication::sendEvent(QApplication::focusWidget() ? QApplication::focusWidget() : m_recorder,
                            &press);
}

void TestRecorder::answerAlert(const QString& button) {
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this, timer, button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        m_alertText = box->text() + u'\n' + box->informativeText();
        for (QAbstractButton* b : box->buttons()) {
            if (b->text() == button) {
                timer->deleteLater();
                timer->stop();
                b->click();
            }
        }
    });
    timer->start(20);
}

void TestRecorder::keyRules_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<quint32>("scanCode");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<std::optional<Shortcut>>("stored");
    QTest::addColumn<bool>("stillRecording");
    const std::optional<Shortcut> unchanged = kCommandShiftV;
    QTest::newRow("V alone") << int(Qt::Key_V) << kScanV << Qt::KeyboardModifiers() << unchanged
                             << true;
    QTest::newRow("Shift-V") << int(Qt::Key_V) << kScanV << Qt::KeyboardModifiers(Qt::ShiftModifier)
                             << unchanged << true;
    QTest::newRow("Shift-Tab is no shortcut")
        << int(Qt::Key_Backtab) << kScanTab << Qt::KeyboardModifiers(Qt::ShiftModifier) << unchanged
        << true;
    QTest::newRow("Shift alone waits")
        << int(Qt::Key_Shift) << quint32(42 + 8) << Qt::KeyboardModifiers(Qt::ShiftModifier)
        << unchanged << true;
    QTest::newRow("F5 alone") << int(Qt::Key_F5) << kScanF5 << Qt::KeyboardModifiers()
                              << std::optional(Shortcut(96, 0)) << false;
    QTest::newRow("Super-Alt-V") << int(Qt::Key_V) << kScanV << (Qt::MetaModifier | Qt::AltModifier)
                                 << std::optional(Shortcut(Key::v, MF::command | MF::option))
                                 << false;
    // Keys of ISO and JIS keyboards beyond the US layout.
    QTest::newRow("ISO key left of Z")
        << int(Qt::Key_Less) << quint32(86 + 8) << Qt::KeyboardModifiers(Qt::MetaModifier)
        << std::optional(Shortcut(Key::isoSection, MF::command)) << false;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << kScanEscape << Qt::KeyboardModifiers()
                            << unchanged << false;
}

void TestRecorder::keyRules() {
    QFETCH(int, key);
    QFETCH(quint32, scanCode);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(std::optional<Shortcut>, stored);
    QFETCH(bool, stillRecording);
    QSignalSpy changed(m_recorder, &RecorderWidget::shortcutChanged);
    sendKey(key, scanCode, modifiers);
    QCOMPARE(m_center->getShortcut(m_recorder->shortcutName()), stored);
    QCOMPARE(m_recorder->isRecording(), stillRecording);
    QCOMPARE(changed.size(), stored == kCommandShiftV ? 0 : 1);
    QCOMPARE(m_recorder->text(), m_center->description(*stored));
}

void TestRecorder::deleteClearsTabLeaves() {
    QSignalSpy changed(m_recorder, &RecorderWidget::shortcutChanged);
    sendKey(Qt::Key_Backspace, kScanBackspace, {});
    // The name has a default, so the removal is kept as false.
    QCOMPARE(m_store->object(QStringLiteral("KeyboardShortcuts_openPanel")), QJsonValue(false));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.at(0).at(0).value<std::optional<Shortcut>>(), std::nullopt);
    QVERIFY(m_recorder->text().isEmpty());
    QVERIFY(m_recorder->isRecording());

    QTest::keyClick(m_recorder, Qt::Key_Tab);
    QTRY_VERIFY(m_other->hasFocus());
    QVERIFY(!m_recorder->isRecording());
    QVERIFY(!m_center->shortcutsPaused());
}

void TestRecorder::clickOutsideEndsRecording() {
    QSignalSpy active(m_center.get(), &Center::recorderActiveStatusDidChange);
    // A real middle click on the field pastes nothing into it.
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted"), QClipboard::Selection);
    m_recorder->installEventFilter(this);
    const QPoint centre = m_recorder->mapToGlobal(m_recorder->rect().center());
    xdotool({QStringLiteral("mousemove"), QString::number(centre.x()), QString::number(centre.y()),
             QStringLiteral("click"), QStringLiteral("2")});
    QTRY_COMPARE(m_middleReleases, 1);
    QCOMPARE(m_recorder->text(), QStringLiteral("⇧⌘V"));
    const QRect r = m_recorder->geometry();
    // Within 3 points of the edge counts as inside.
    QTest::mouseClick(m_window.get(), Qt::LeftButton, {}, QPoint(r.right() + 3, r.center().y()));
    QVERIFY(m_recorder->isRecording());
    QTest::mouseClick(m_window.get(), Qt::RightButton, {}, QPoint(r.right() + 8, r.center().y()));
    QVERIFY(!m_recorder->isRecording());
    QCOMPARE(active.size(), 1);
    QCOMPARE(active.at(0).at(0).toBool(), false);
}

void TestRecorder::conflictsAreRefusedOrForced() {
    // One of our own menu items: refused, and recording resumes for another try.
    m_center->setMenuItems(
        {{QStringLiteral("Settings…"), QStringLiteral(","), MF::command, {}},
         {QStringLiteral("Quit Quillet"), QStringLiteral("q"), MF::command, {}}});
    answerAlert(localized("ok"));
    sendKey(Qt::Key_Comma, kScanComma, Qt::MetaModifier);
    QVERIFY(m_alertText.contains(QStringLiteral("“Settings…”")));
    QCOMPARE(m_center->getShortcut(m_recorder->shortcutName()), kCommandShiftV);
    QTRY_VERIFY(m_recorder->isRecording());

    // Another application's: the user may force it.
    OtherXClient other;
    QVERIFY(other.grab(kScanF5, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1));
    QVERIFY(other.grab(kScanF12, 0));
    const Qt::KeyboardModifiers controlAlt = Qt::ControlModifier | Qt::AltModifier;

    answerAlert(localized("ok"));
    sendKey(Qt::Key_F5, kScanF5, controlAlt);
    QCOMPARE(m_alertText, localized("keyboard_shortcut_used_by_system") + u'\n' +
                              localized("keyboard_shortcuts_can_be_changed"));
    QCOMPARE(m_center->getShortcut(m_recorder->shortcutName()), kCommandShiftV);
    QTRY_VERIFY(m_recorder->isRecording());

    m_alertText.clear();
    answerAlert(localized("force_use_shortcut"));
    sendKey(Qt::Key_F5, kScanF5, controlAlt);
    QVERIFY(!m_alertText.isEmpty());
    QCOMPARE(m_center->getShortcut(m_recorder->shortcutName()),
             Shortcut(Key::f5, MF::control | MF::option));
    QCOMPARE(m_recorder->text(), QStringLiteral("⌃⌥F5"));

    // F12 alone is taken without asking.
    m_recorder->setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(m_recorder->isRecording());
    m_alertText.clear();
    sendKey(Qt::Key_F12, kScanF12, {});
    QCOMPARE(m_center->getShortcut(m_recorder->shortcutName()), Shortcut(Key::f12, 0));
    QVERIFY(m_alertText.isEmpty());
    QVERIFY(!QApplication::activeModalWidget());
}

void TestRecorder::recordingPausesTheGlobalShortcut() {
    int handled = 0;
    m_center->onKeyUp(m_recorder->shortcutName(), [&] { ++handled; });
    // Real keys: the recorder sees the combination itself instead of our grab.
    xdotool({QStringLiteral("key"), QStringLiteral("super+alt+v")});
    QTRY_COMPARE(m_center->getShortcut(m_recorder->shortcutName()),
                 Shortcut(Key::v, MF::command | MF::option));
    QVERIFY(!m_recorder->isRecording());
    QCOMPARE(handled, 0);
    QCOMPARE(m_recorder->text(), QStringLiteral("⌥⌘V"));

    // Recording over, the new shortcut works system-wide.
    xdotool({QStringLiteral("key"), QStringLiteral("super+alt+v")});
    QTRY_COMPARE(handled, 1);

    m_recorder->setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(m_recorder->isRecording());
    xdotool({QStringLiteral("key"), QStringLiteral("super+alt+v")});
    QTRY_VERIFY(!m_recorder->isRecording());
    QCOMPARE(handled, 1);
}

QTEST_MAIN(TestRecorder)
#include "tst_recorder.moc"
