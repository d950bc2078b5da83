#include "FakeHotKeys.h"
#include "StdoutCapture.h"

#include "KeyboardShortcuts/HotKeyRegistry.h"
#include "KeyboardShortcuts/KeyboardShortcuts.h"
#include "settings/JsonDefaultsStore.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace KeyboardShortcuts;

namespace {
const Shortcut kCommandShiftV(Key::v, ModifierFlag::command | ModifierFlag::shift);
const Shortcut kControlF5(Key::f5, ModifierFlag::control);
constexpr int kV = 9;
constexpr int kCmdShift = 0x300;
} // namespace

class TestShortcutStorage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void declaringStoresTheDefaultOnce();
    void clearedShortcutStaysClearedAfterRelaunch();
    void resetAndRemoval();
    void undecodableEntriesMeanNoShortcut_data();
    void undecodableEntriesMeanNoShortcut();
    void registeredSetFollowsUsers();
    void disablingKeepsTheStoredValue();
    void dispatchRules();
    void streamsDeliverUntilDestroyed();
    void registryIdsSuspensionAndFailures();

private:
    void relaunch();
    QTemporaryDir m_dir;
    std::unique_ptr<JsonDefaultsStore> m_store;
    FakeHotKeys* m_fake = nullptr;
};

void TestShortcutStorage::relaunch() {
    // A new store on the same file reads what a new process would.
    auto fake = std::make_unique<FakeHotKeys>();
    m_fake = fake.get();
    m_store = std::make_unique<JsonDefaultsStore>(m_dir.filePath(QStringLiteral("defaults.json")));
    setUp(m_store.get(), std::move(fake));
}

void TestShortcutStorage::init() {
    QFile::remove(m_dir.filePath(QStringLiteral("defaults.json")));
    relaunch();
}

void TestShortcutStorage::cleanup() {
    setUp(nullptr, nullptr);
    m_store.reset();
}

void TestShortcutStorage::declaringStoresTheDefaultOnce() {
    QSignalSpy changed(&Notifier::shared(), &Notifier::shortcutByNameDidChange);
    const Name openPanel(QStringLiteral("openPanel"), kCommandShiftV);
    QCOMPARE(m_store->object(QStringLiteral("KeyboardShortcuts_openPanel")),
             QJsonValue(QStringLiteral("{\"carbonKeyCode\":9,\"carbonModifiers\":768}")));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.at(0).at(0).value<Name>().rawValue(), QStringLiteral("openPanel"));
    QVERIFY(m_fake->isHeld(kV, kCmdShift));

    relaunch();
    QSignalSpy changedAgain(&Notifier::shared(), &Notifier::shortcutByNameDidChange);
    const Name again(QStringLiteral("openPanel"), kCommandShiftV);
    QCOMPARE(changedAgain.size(), 0);
    QCOMPARE(m_fake->grabCount(), 0);
    QCOMPARE(getShortcut(again), kCommandShiftV);
}

void TestShortcutStorage::clearedShortcutStaysClearedAfterRelaunch() {
    const Name declared(QStringLiteral("openPanel"), kCommandShiftV);
    // Cleared through a copy made from the identifier alone, as a settings
    // window would hold it.
    const Name openPanel(QStringLiteral("openPanel"));
    QCOMPARE(openPanel.defaultShortcut(), kCommandShiftV);
    setShortcut(std::nullopt, openPanel);
    QCOMPARE(m_store->object(storageKey(openPanel)), QJsonValue(false));
    QVERIFY(!m_fake->isHeld(kV, kCmdShift));

    relaunch();
    const Name relaunched(QStringLiteral("openPanel"), kCommandShiftV);
    QCOMPARE(m_store->object(storageKey(relaunched)), QJsonValue(false));
    QCOMPARE(getShortcut(relaunched), std::nullopt);
    QCOMPARE(m_fake->grabCount(), 0);
}

void TestShortcutStorage::resetAndRemoval() {
    const Name withDefault(QStringLiteral("withDefault"), kCommandShiftV);
    const Name plain(QStringLiteral("plain"));
    setShortcut(kControlF5, withDefault);
    setShortcut(kControlF5, plain);
    QCOMPARE(getShortcut(plain), kControlF5);

    reset({withDefault, plain});
    QCOMPARE(getShortcut(withDefault), kCommandShiftV);
    QVERIFY(!m_store->object(storageKey(plain)));

    // Removing what is not there neither writes nor tells anyone.
    QSignalSpy changed(&Notifier::shared(), &Notifier::shortcutByNameDidChange);
    QSignalSpy written(m_store.get(), &DefaultsStore::changed);
    setShortcut(std::nullopt, plain);
    QCOMPARE(changed.size(), 0);
    QCOMPARE(written.size(), 0);

    setShortcut(kControlF5, plain);
    resetAll();
    QVERIFY(!m_store->object(storageKey(plain)));
    QVERIFY(!m_store->object(storageKey(withDefault)));
    QVERIFY(m_fake->held.isEmpty());
}

void TestShortcutStorage::undecodableEntriesMeanNoShortcut_data() {
    QTest::addColumn<QJsonValue>("stored");
    QTest::addColumn<bool>("decodes");
    QTest::newRow("members reordered, spaced")
        << QJsonValue(QStringLiteral(" { \"carbonModifiers\" : 768, \"carbonKeyCode\" : 9 } "))
        << true;
    QTest::newRow("not JSON") << QJsonValue(QStringLiteral("⇧⌘V")) << false;
    QTest::newRow("missing member") << QJsonValue(QStringLiteral("{\"carbonKeyCode\":9}")) << false;
    QTest::newRow("string member")
        << QJsonValue(QStringLiteral("{\"carbonKeyCode\":\"9\",\"carbonModifiers\":768}")) << false;
    QTest::newRow("fraction") << QJsonValue(QStringLiteral(
                                     "{\"carbonKeyCode\":9.5,\"carbonModifiers\":768}"))
                              << false;
    QTest::newRow("array") << QJsonValue(QStringLiteral("[9,768]")) << false;
    QTest::newRow("object, not text") << QJsonValue(QJsonObject{{"carbonKeyCode", 9}}) << false;
    QTest::newRow("true") << QJsonValue(true) << false;
}

void TestShortcutStorage::undecodableEntriesMeanNoShortcut() {
    QFETCH(QJsonValue, stored);
    QFETCH(bool, decodes);
    m_store->setObject(QStringLiteral("KeyboardShortcuts_odd"), stored);
    const Name odd(QStringLiteral("odd"), kControlF5);
    QCOMPARE(getShortcut(odd), decodes ? std::optional(kCommandShiftV) : std::nullopt);
    // Left as it was: a later version may read what this one cannot.
    QCOMPARE(m_store->object(storageKey(odd)), stored);
    onKeyDown(odd, [] {});
    QCOMPARE(m_fake->grabCount(), decodes ? 1 : 0);
}

void TestShortcutStorage::registeredSetFollowsUsers() {
    const Name a(QStringLiteral("a"));
    const Name b(QStringLiteral("b"));
    setShortcut(kCommandShiftV, a);
    onKeyUp(a, [] {});
    onKeyDown(a, [] {});
    // Both names share one hot key.
    setShortcut(kCommandShiftV, b);
    QCOMPARE(m_fake->grabCount(), 1);
    QVERIFY(isEnabled(a) && isEnabled(b));

    // Clearing one releases the combination for both until someone registers it.
    setShortcut(std::nullopt, b);
    QVERIFY(!m_fake->isHeld(kV, kCmdShift));
    QVERIFY(!isEnabled(a));
    onKeyUp(a, [] {});
    QVERIFY(m_fake->isHeld(kV, kCmdShift));

    // A new shortcut replaces the old grab.
    setShortcut(kControlF5, a);
    QVERIFY(!m_fake->isHeld(kV, kCmdShift));
    QVERIFY(m_fake->isHeld(96, 0x1000));

    // A stream keeps the hot key alive past removeHandler.
    setShortcut(kControlF5, b);
    auto stream = events(b);
    QTRY_VERIFY(stream->isDelivering());
    removeHandler(a);
    QVERIFY(m_fake->isHeld(96, 0x1000));
    onKeyDown(a, [] {});
    removeAllHandlers();
    QVERIFY(m_fake->isHeld(96, 0x1000));
    stream.reset();
    QVERIFY(!m_fake->isHeld(96, 0x1000));
}

void TestShortcutStorage::disablingKeepsTheStoredValue() {
    const Name a(QStringLiteral("a"), kCommandShiftV);
    QVERIFY(isEnabled(a));
    disable({a});
    QVERIFY(!m_fake->isHeld(kV, kCmdShift));
    QCOMPARE(getShortcut(a), kCommandShiftV);
    QVERIFY(!isEnabled(a));
    enable({a});
    QVERIFY(m_fake->isHeld(kV, kCmdShift));

    setEnabled(false);
    QVERIFY(!isEnabled(a));
    QVERIFY(m_fake->held.isEmpty());
    setEnabled(true);
    QVERIFY(isEnabled(a));
    QVERIFY(m_fake->isHeld(kV, kCmdShift));
}

void TestShortcutStorage::dispatchRules() {
    const Name a(QStringLiteral("a"), kCommandShiftV);
    const Name b(QStringLiteral("b"));
    QStringList log;
    onKeyDown(a, [&] { log << QStringLiteral("a down 1"); });
    onKeyDown(a, [&] { log << QStringLiteral("a down 2"); });
    onKeyUp(a, [&] { log << QStringLiteral("a up"); });
    onKeyUp(b, [&] { log << QStringLiteral("b up"); });
    setShortcut(kCommandShiftV, b);

    QVERIFY(m_fake->send(true, kV, kCmdShift));
    // The release comes after the modifiers were let go.
    QVERIFY(m_fake->send(false, kV, 0));
    log.sort(); // the order among names is not significant
    QCOMPARE(log, QStringList({"a down 1", "a down 2", "a up", "b up"}));

    // While a recorder records, nothing is delivered.
    log.clear();
    setShortcutsPaused(true);
    m_fake->send(true, kV, kCmdShift);
    m_fake->send(false, kV, kCmdShift);
    setShortcutsPaused(false);
    QCOMPARE(log, QStringList());

    // The stored value is read at each press: a new shortcut reaches the old handlers.
    setShortcut(kControlF5, a);
    QVERIFY(m_fake->send(true, 96, 0x1000));
    QCOMPARE(log, QStringList({"a down 1", "a down 2"}));

    // Keys that reach our own windows count only while a menu is open.
    log.clear();
    QVERIFY(!m_fake->send(true, 96, 0x1000, true));
    QVERIFY(!m_fake->send(true, kV, 0));
    QCOMPARE(log, QStringList());
}

void TestShortcutStorage::streamsDeliverUntilDestroyed() {
    const Name a(QStringLiteral("a"), kCommandShiftV);
    auto all = events(a);
    auto ups = events(EventType::keyUp, a);
    QList<EventType> seenAll, seenUps;
    connect(all.get(), &EventStream::received, this, [&](EventType t) { seenAll << t; });
    connect(ups.get(), &EventStream::received, this, [&](EventType t) { seenUps << t; });
    QVERIFY(!m_fake->send(true, kV, kCmdShift) || seenAll.isEmpty());
    QTRY_VERIFY(all->isDelivering() && ups->isDelivering());
    m_fake->send(true, kV, kCmdShift);
    m_fake->send(false, kV, kCmdShift);
    QCOMPARE(seenAll, QList<EventType>({EventType::keyDown, EventType::keyUp}));
    QCOMPARE(seenUps, QList<EventType>({EventType::keyUp}));
    all.reset();
    m_fake->send(true, kV, kCmdShift);
    m_fake->send(false, kV, kCmdShift);
    QCOMPARE(seenAll.size(), 2);
    QCOMPARE(seenUps.size(), 2);
}

void TestShortcutStorage::registryIdsSuspensionAndFailures() {
    FakeHotKeys backend;
    HotKeyRegistry registry(backend);
    backend.refused.insert(FakeHotKeys::key(96, 0x1000));
    StdoutCapture out;
    int downs = 0;
    registry.registerShortcut(kCommandShiftV, [&](const Shortcut&) { ++downs; }, {});
    registry.registerShortcut(kControlF5, {}, {});
    registry.registerShortcut(Shortcut(Key::f1, 0), {}, {});
    QCOMPARE(out.text(), QByteArray("Error registering hotkey ⌃F5: 10\n"));
    // The failed attempt used up id 2.
    QCOMPARE(registry.ids(), QList<qint64>({1, 3}));

    // A menu releases the grabs and matches the keys reaching it instead, first record only.
    registry.registerShortcut(kCommandShiftV, [&](const Shortcut&) { downs += 100; }, {});
    registry.update(true, true, false);
    QVERIFY(backend.held.isEmpty());
    QVERIFY(backend.send(true, kV, kCmdShift, true));
    QVERIFY(!backend.send(true, kV, 0, true));
    QCOMPARE(downs, 1);

    // Closing it grabs again under the old ids; one the server now refuses is dropped.
    backend.refused.insert(FakeHotKeys::key(122, 0));
    StdoutCapture out2;
    registry.update(true, false, false);
    QCOMPARE(out2.text(), QByteArray("Error registering hotkey F1: 10\n"));
    QCOMPARE(registry.ids(), QList<qint64>({1, 4}));
    QVERIFY(registry.isActive(1) && registry.isActive(4));

    registry.update(false, false, false);
    QVERIFY(backend.held.isEmpty());
    QVERIFY(!backend.send(true, kV, kCmdShift));
    registry.unregisterShortcut(kCommandShiftV);
    QCOMPARE(registry.ids(), QList<qint64>());
}

QTEST_MAIN(TestShortcutStorage)
#include "tst_shortcutstorage.moc"
