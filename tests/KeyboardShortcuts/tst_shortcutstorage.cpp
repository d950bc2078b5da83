#include "KeyboardShortcuts/Center.h"
#include "platform/HotKeyBackend.h"
#include "settings/JsonDefaultsStore.h"

#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace KeyboardShortcuts;
namespace MF = ModifierFlag;

namespace {
const Shortcut kCommandShiftV(Key::v, ModifierFlag::command | ModifierFlag::shift);
const Shortcut kControlF5(Key::f5, ModifierFlag::control);
constexpr int kV = 9;
constexpr int kF5 = 96;
constexpr int kCmdShift = 0x300;
constexpr int kControl = 0x1000;

// No X server on the unit tier: records grabs and feeds key events (the real
// backend runs under Xvfb in tst_x11hotkeys).
class FakeHotKeys : public HotKeyBackend {
public:
    int grab(int keyCode, int modifiers) override {
        ++grabs;
        if (refused.contains(key(keyCode, modifiers)))
            return 10;
        held.insert(key(keyCode, modifiers));
        return 0;
    }
    void ungrab(int keyCode, int modifiers) override { held.remove(key(keyCode, modifiers)); }
    bool isAvailable(int keyCode, int modifiers) override {
        return !refused.contains(key(keyCode, modifiers));
    }
    std::optional<int> keyCodeForScanCode(quint32) const override { return std::nullopt; }
    QString layoutCharacter(int keyCode) const override { return layout.value(keyCode); }

    bool send(bool press, int keyCode, int modifiers, bool raw = false) {
        return deliver(HotKeyEvent{press, keyCode, modifiers, raw});
    }
    bool isHeld(int keyCode, int modifiers) const { return held.contains(key(keyCode, modifiers)); }
    static qint64 key(int keyCode, int modifiers) { return (qint64(keyCode) << 32) | modifiers; }

    int grabs = 0;
    QSet<qint64> held;
    QSet<qint64> refused;
    const QHash<int, QString> layout{
        {Key::v.rawValue, u"v"_qs}, {Key::q.rawValue, u"q"_qs}, {Key::a.rawValue, u"a"_qs}};
};
} // namespace

class TestShortcutStorage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        QFile::remove(m_dir.filePath(QStringLiteral("defaults.json")));
        relaunch();
    }
    void cleanup() { m_center.reset(); }
    void storedOnceClearedForGoodAndReset();
    void undecodableEntriesMeanNoShortcut();
    void grabsFollowTheUsers();
    void dispatchRules();
    // Against a fixed layout (the real layouts are read in tst_x11hotkeys).
    void modifiersKeyTextsAndMenuItems();

private:
    // A new store and Center on the same file read what a new process would.
    void relaunch() {
        m_center.reset();
        m_fake = std::make_unique<FakeHotKeys>();
        m_store =
            std::make_unique<JsonDefaultsStore>(m_dir.filePath(QStringLiteral("defaults.json")));
        m_center = std::make_unique<Center>(*m_store, *m_fake);
    }
    QTemporaryDir m_dir;
    std::unique_ptr<JsonDefaultsStore> m_store;
    std::unique_ptr<FakeHotKeys> m_fake;
    std::unique_ptr<Center> m_center;
};

void TestShortcutStorage::storedOnceClearedForGoodAndReset() {
    QSignalSpy changed(m_center.get(), &Center::shortcutByNameDidChange);
    const Name openPanel(QStringLiteral("openPanel"), kCommandShiftV);
    m_center->declare(openPanel);
    QCOMPARE(m_store->object(QStringLiteral("KeyboardShortcuts_openPanel")),
             QJsonValue(QStringLiteral("{\"carbonKeyCode\":9,\"carbonModifiers\":768}")));
    QCOMPARE(changed.size(), 1);
    QVERIFY(m_fake->isHeld(kV, kCmdShift));

    relaunch();
    QSignalSpy changedAgain(m_center.get(), &Center::shortcutByNameDidChange);
    QCOMPARE(m_center->getShortcut(openPanel), kCommandShiftV);
    QCOMPARE(changedAgain.size(), 0);
    QCOMPARE(m_fake->grabs, 0);

    // Cleared through a copy made from the identifier alone, as a settings
    // window would hold it: false is kept, and the default stays away.
    m_center->setShortcut(std::nullopt, Name(QStringLiteral("openPanel")));
    QCOMPARE(m_store->object(storageKey(openPanel)), QJsonValue(false));
    QVERIFY(!m_fake->isHeld(kV, kCmdShift));
    relaunch();
    QCOMPARE(m_center->getShortcut(openPanel), std::nullopt);
    QCOMPARE(m_fake->grabs, 0);

    const Name plain(QStringLiteral("plain"));
    m_center->setShortcut(kControlF5, openPanel);
    m_center->setShortcut(kControlF5, plain);
    m_center->reset({Name(QStringLiteral("openPanel")), plain});
    QCOMPARE(m_center->getShortcut(openPanel), kCommandShiftV);
    QVERIFY(!m_store->object(storageKey(plain)));

    m_center->setShortcut(kControlF5, plain);
    m_center->resetAll();
    QVERIFY(!m_store->object(storageKey(plain)));
    QVERIFY(!m_store->object(storageKey(openPanel)));
    QVERIFY(m_fake->held.isEmpty());
}

void TestShortcutStorage::undecodableEntriesMeanNoShortcut() {
    const Name odd(QStringLiteral("odd"), kControlF5);
    for (const QJsonValue& stored :
         {QJsonValue(u"⇧⌘V"_qs), QJsonValue(u"{\"carbonKeyCode\":9}"_qs),
          QJsonValue(u"{\"carbonKeyCode\":\"9\",\"carbonModifiers\":768}"_qs),
          QJsonValue(u"{\"carbonKeyCode\":9.5,\"carbonModifiers\":768}"_qs),
          QJsonValue(QJsonObject{{"carbonKeyCode", 9}})}) {
        m_store->setObject(storageKey(odd), stored);
        QCOMPARE(m_center->getShortcut(odd), std::nullopt);
        // Left as it was: a later version may read what this one cannot.
        QCOMPARE(m_store->object(storageKey(odd)), stored);
        m_center->onKeyDown(odd, [] {});
        QCOMPARE(m_fake->grabs, 0);
    }
    // Members in any order, spaced, are read.
    m_store->setObject(storageKey(odd),
                       u" { \"carbonModifiers\" : 768, \"carbonKeyCode\" : 9 } "_qs);
    QCOMPARE(m_center->getShortcut(odd), kCommandShiftV);
}

void TestShortcutStorage::grabsFollowTheUsers() {
    const Name a(QStringLiteral("a"), kCommandShiftV);
    const Name b(QStringLiteral("b"));
    m_center->onKeyUp(a, [] {});
    m_center->onKeyDown(a, [] {});
    // Both names share one hot key.
    m_center->setShortcut(kCommandShiftV, b);
    QCOMPARE(m_fake->grabs, 1);

    // Disabling releases the grab and keeps what is stored; so does the master switch.
    m_center->disable({a});
    QVERIFY(!m_fake->isHeld(kV, kCmdShift));
    QCOMPARE(m_center->getShortcut(a), kCommandShiftV);
    QVERIFY(!m_center->isEnabled(a));
    m_center->enable({a});
    QVERIFY(m_fake->isHeld(kV, kCmdShift));
    m_center->setEnabled(false);
    QVERIFY(m_fake->held.isEmpty());
    m_center->setEnabled(true);
    QVERIFY(m_center->isEnabled(a) && m_fake->isHeld(kV, kCmdShift));

    // Clearing one releases the combination for both until someone registers it.
    m_center->setShortcut(std::nullopt, b);
    QVERIFY(!m_fake->isHeld(kV, kCmdShift));
    QVERIFY(!m_center->isEnabled(a));
    m_center->onKeyUp(a, [] {});
    QVERIFY(m_fake->isHeld(kV, kCmdShift));

    // A new shortcut replaces the old grab.
    m_center->setShortcut(kControlF5, a);
    QVERIFY(!m_fake->isHeld(kV, kCmdShift));
    QVERIFY(m_fake->isHeld(kF5, kControl));

    // A stream keeps the hot key alive past removeHandler and removeAllHandlers.
    m_center->setShortcut(kControlF5, b);
    auto stream = m_center->events(b);
    QTRY_VERIFY(stream->isDelivering());
    m_center->removeHandler(a);
    QVERIFY(m_fake->isHeld(kF5, kControl));
    m_center->onKeyDown(a, [] {});
    m_center->removeAllHandlers();
    QVERIFY(m_fake->isHeld(kF5, kControl));
    stream.reset();
    QVERIFY(!m_fake->isHeld(kF5, kControl));

    // Registered while switched off: not grabbed until switched on; taken by
    // another application meanwhile, it is dropped for good.
    m_center->setEnabled(false);
    m_center->onKeyDown(a, [] {});
    QVERIFY(m_fake->held.isEmpty());
    m_fake->refused.insert(FakeHotKeys::key(kF5, kControl));
    m_center->setEnabled(true);
    m_fake->refused.clear();
    m_center->setEnabled(false);
    m_center->setEnabled(true);
    QVERIFY(m_fake->held.isEmpty());
}

void TestShortcutStorage::dispatchRules() {
    const Name a(QStringLiteral("a"), kCommandShiftV);
    const Name b(QStringLiteral("b"));
    QStringList log;
    m_center->onKeyDown(a, [&] { log << QStringLiteral("a down 1"); });
    m_center->onKeyDown(a, [&] { log << QStringLiteral("a down 2"); });
    m_center->onKeyUp(a, [&] { log << QStringLiteral("a up"); });
    m_center->onKeyUp(b, [&] { log << QStringLiteral("b up"); });
    m_center->setShortcut(kCommandShiftV, b);
    auto all = m_center->events(a);
    auto ups = m_center->events(EventType::keyUp, a);
    connect(all.get(), &EventStream::received, this, [&](EventType t) {
        log << (t == EventType::keyDown ? QStringLiteral("all down") : QStringLiteral("all up"));
    });
    connect(ups.get(), &EventStream::received, this, [&](EventType t) {
        log << (t == EventType::keyDown ? QStringLiteral("ups down") : QStringLiteral("ups up"));
    });
    QTRY_VERIFY(all->isDelivering() && ups->isDelivering());

    QVERIFY(m_fake->send(true, kV, kCmdShift));
    // The release comes after the modifiers were let go.
    QVERIFY(m_fake->send(false, kV, 0));
    QCOMPARE(log.mid(0, 2), QStringList({"a down 1", "a down 2"})); // in the order added
    log.sort(); // the order among names is not significant
    QCOMPARE(log,
             QStringList({"a down 1", "a down 2", "a up", "all down", "all up", "b up", "ups up"}));

    // The stored value is read at each press: a new shortcut reaches the old handlers.
    log.clear();
    all.reset();
    ups.reset();
    m_center->setShortcut(kControlF5, a);
    QVERIFY(m_fake->send(true, kF5, kControl));
    QCOMPARE(log, QStringList({"a down 1", "a down 2"}));

    // Keys that reach our own windows count only while a menu is open.
    log.clear();
    QVERIFY(!m_fake->send(true, kF5, kControl, true));
    QVERIFY(!m_fake->send(true, kV, 0));
    QCOMPARE(log, QStringList());
}

void TestShortcutStorage::modifiersKeyTextsAndMenuItems() {
    // Locks, pads and unknown bits are dropped both ways.
    QCOMPARE(carbonModifiersFromFlags(MF::capsLock | MF::numericPad | MF::help | 0x1u | MF::option),
             qint64(0x800));
    QCOMPARE(flagsFromCarbonModifiers(0x1000 | 0x20000 | 0x1 | 0x400), MF::control | MF::function);
    // A key event's function flag is the keyboard's own doing; a declared one is kept.
    QCOMPARE(Shortcut::fromKeyEvent(Key::f5.rawValue, MF::control | MF::function),
             Shortcut(96, 0x1000));
    QCOMPARE(Shortcut(Key::f5, MF::function | MF::option), Shortcut(96, 0x20800));

    MenuItem edit{QStringLiteral("Edit"), QString(), 0, {}};
    edit.submenu = {{QStringLiteral("Paste Special"), QStringLiteral("V"), MF::command, {}},
                    {QStringLiteral("More"),
                     QString(),
                     0,
                     {{QStringLiteral("Deep"), QStringLiteral("a"), MF::control, {}}}}};
    m_center->setMenuItems({{QStringLiteral("Plus"), QStringLiteral("+"), MF::command, {}}, edit});
    // "text | menu key | menu item using it", "-" for none.
    const auto texts = [&](const Shortcut& shortcut) {
        return shortcut.description(*m_fake) + u" | "_qs +
               shortcut.menuKeyEquivalent(*m_fake).value_or(u"-"_qs) + u" | "_qs +
               m_center->menuItemUsing(shortcut).value_or(u"-"_qs);
    };
    // An upper-case menu key implies Shift.
    QCOMPARE(texts(Shortcut(9, 768)), u"⇧⌘V | v | Paste Special"_qs);
    QCOMPARE(texts(Shortcut(Key::a, MF::command | MF::shift | MF::option | MF::control)),
             u"⌃⌥⇧⌘A | a | -"_qs);
    QCOMPARE(texts(Shortcut(Key::a, MF::control)), u"⌃A | a | Deep"_qs);
    QCOMPARE(texts(Shortcut(Key::f1, MF::function | MF::control)),
             u"⌃\U0001F310\uFE0EF1 | \uF704 | -"_qs);
    QCOMPARE(texts(Shortcut(Key::space, MF::option)), u"⌥Space |   | -"_qs);
    QCOMPARE(texts(Shortcut(Key::keypadPlus, MF::command)), u"⌘+\u20E3 | - | -"_qs);
}

QTEST_MAIN(TestShortcutStorage)
#include "tst_shortcutstorage.moc"
