#include "FakeHotKeys.h"

#include "KeyboardShortcuts/KeyNaming.h"
#include "KeyboardShortcuts/KeyboardShortcuts.h"
#include "platform/EvdevKeyCodes.h"
#include "settings/JsonDefaultsStore.h"

#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace KeyboardShortcuts;
namespace MF = ModifierFlag;

class TestKeyNaming : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void modifierConversions_data();
    void modifierConversions();
    void shortcutConstructorsKeepTheRightBits();
    void specialKeyTableIsComplete();
    void descriptions_data();
    void descriptions();
    void menuKeyEquivalents_data();
    void menuKeyEquivalents();
    void menuItemsInUse_data();
    void menuItemsInUse();
    void everyKeyHasAPhysicalKey();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<JsonDefaultsStore> m_store;
};

void TestKeyNaming::init() {
    auto fake = std::make_unique<FakeHotKeys>();
    fake->layout = {{Key::v.rawValue, QStringLiteral("v")},
                    {Key::comma.rawValue, QStringLiteral(",")},
                    {Key::q.rawValue, QStringLiteral("q")},
                    {Key::a.rawValue, QStringLiteral("a")}};
    m_store = std::make_unique<JsonDefaultsStore>(m_dir.filePath(QStringLiteral("defaults.json")));
    setUp(m_store.get(), std::move(fake));
}

void TestKeyNaming::cleanup() {
    setUp(nullptr, nullptr);
}

void TestKeyNaming::modifierConversions_data() {
    QTest::addColumn<quint32>("flags");
    QTest::addColumn<qint64>("carbon");
    QTest::addColumn<quint32>("flagsBack");
    QTest::newRow("none") << quint32(0) << qint64(0) << quint32(0);
    QTest::newRow("command shift")
        << (MF::command | MF::shift) << qint64(768) << (MF::command | MF::shift);
    QTest::newRow("control") << MF::control << qint64(0x1000) << MF::control;
    QTest::newRow("option") << MF::option << qint64(0x800) << MF::option;
    QTest::newRow("function") << MF::function << qint64(0x20000) << MF::function;
    QTest::newRow("locks and pads dropped")
        << (MF::capsLock | MF::numericPad | MF::help | 0x1u | MF::option) << qint64(0x800)
        << MF::option;
    QTest::newRow("all five") << (MF::control | MF::option | MF::shift | MF::command | MF::function)
                              << qint64(0x1000 | 0x800 | 0x200 | 0x100 | 0x20000)
                              << (MF::control | MF::option | MF::shift | MF::command |
                                  MF::function);
}

void TestKeyNaming::modifierConversions() {
    QFETCH(quint32, flags);
    QFETCH(qint64, carbon);
    QFETCH(quint32, flagsBack);
    QCOMPARE(carbonModifiersFromFlags(flags), carbon);
    QCOMPARE(flagsFromCarbonModifiers(carbon), flagsBack);
    // Bits outside the five are dropped on the way back too.
    QCOMPARE(flagsFromCarbonModifiers(carbon | 0x1 | 0x400), flagsBack);
}

void TestKeyNaming::shortcutConstructorsKeepTheRightBits() {
    const quint32 held = MF::command | MF::function | MF::capsLock;
    QCOMPARE(Shortcut::fromKeyEvent(Key::f5.rawValue, held), Shortcut(96, 0x100));
    QCOMPARE(Shortcut(Key::f5, held), Shortcut(96, 0x100 | 0x20000));
    QCOMPARE(Shortcut(Key::v, MF::command | MF::shift), Shortcut(9, 768));
    QCOMPARE(Shortcut(9, 768).toJson(),
             QByteArray("{\"carbonKeyCode\":9,\"carbonModifiers\":768}"));
}

void TestKeyNaming::specialKeyTableIsComplete() {
    QSet<int> codes;
    for (int i = 0; i < kSpecialKeyCount; ++i) {
        const int code = keyCodeForSpecialKey(SpecialKey(i));
        codes.insert(code);
        QCOMPARE(specialKeyForKeyCode(code), std::optional(SpecialKey(i)));
    }
    QCOMPARE(kSpecialKeyCount, 53);
    QCOMPARE(codes.size(), 53);
    QVERIFY(isFunctionKey(Key::f20.rawValue));
    QVERIFY(!isFunctionKey(Key::keypad1.rawValue));
}

void TestKeyNaming::descriptions_data() {
    QTest::addColumn<Shortcut>("shortcut");
    QTest::addColumn<QString>("text");
    QTest::newRow("command shift V") << Shortcut(9, 768) << QStringLiteral("⇧⌘V");
    QTest::newRow("symbol order") << Shortcut(Key::a,
                                              MF::command | MF::shift | MF::option | MF::control)
                                  << QStringLiteral("⌃⌥⇧⌘A");
    QTest::newRow("function globe")
        << Shortcut(Key::f1, MF::function | MF::control) << QStringLiteral("⌃\U0001F310\uFE0EF1");
    QTest::newRow("space word") << Shortcut(Key::space, MF::option) << QStringLiteral("⌥Space");
    QTest::newRow("return") << Shortcut(Key::returnKey, MF::command) << QStringLiteral("⌘↩");
    QTest::newRow("backspace") << Shortcut(Key::deleteKey, 0) << QStringLiteral("⌫");
    QTest::newRow("help") << Shortcut(Key::help, 0) << QStringLiteral("?\u20DD");
    QTest::newRow("F13") << Shortcut(Key::f13, 0) << QStringLiteral("F13");
    QTest::newRow("F20") << Shortcut(Key::f20, MF::shift) << QStringLiteral("⇧F20");
    QTest::newRow("keypad 7") << Shortcut(Key::keypad7, 0) << QStringLiteral("7\u20E3");
    QTest::newRow("keypad clear") << Shortcut(Key::keypadClear, 0) << QStringLiteral("☒\u20E3");
    QTest::newRow("keypad enter") << Shortcut(Key::keypadEnter, 0) << QStringLiteral("↩\u20E3");
    QTest::newRow("no layout character")
        << Shortcut(Key::j, MF::command) << QStringLiteral("⌘\uFFFD");
    QTest::newRow("punctuation") << Shortcut(Key::comma, MF::command) << QStringLiteral("⌘,");
}

void TestKeyNaming::descriptions() {
    QFETCH(Shortcut, shortcut);
    QFETCH(QString, text);
    QCOMPARE(shortcut.description(), text);
}

void TestKeyNaming::menuKeyEquivalents_data() {
    QTest::addColumn<int>("keyCode");
    QTest::addColumn<std::optional<QString>>("equivalent");
    QTest::newRow("space") << Key::space.rawValue << std::optional<QString>(QStringLiteral(" "));
    QTest::newRow("F1") << Key::f1.rawValue << std::optional<QString>(QStringLiteral("\uF704"));
    QTest::newRow("F20") << Key::f20.rawValue << std::optional<QString>(QStringLiteral("\uF717"));
    QTest::newRow("keypad plus") << Key::keypadPlus.rawValue << std::optional<QString>();
    QTest::newRow("letter") << Key::q.rawValue << std::optional<QString>(QStringLiteral("q"));
    QTest::newRow("nothing in layout") << Key::j.rawValue << std::optional<QString>();
}

void TestKeyNaming::menuKeyEquivalents() {
    QFETCH(int, keyCode);
    QFETCH(std::optional<QString>, equivalent);
    QCOMPARE(Shortcut(keyCode, 0x100).menuKeyEquivalent(), equivalent);
}

void TestKeyNaming::menuItemsInUse_data() {
    QTest::addColumn<Shortcut>("shortcut");
    QTest::addColumn<std::optional<QString>>("item");
    QTest::newRow("settings") << Shortcut(Key::comma, MF::command)
                              << std::optional<QString>(QStringLiteral("Settings…"));
    QTest::newRow("quit") << Shortcut(Key::q, MF::command)
                          << std::optional<QString>(QStringLiteral("Quit Quillet"));
    QTest::newRow("other modifiers")
        << Shortcut(Key::q, MF::command | MF::option) << std::optional<QString>();
    QTest::newRow("upper case implies shift")
        << Shortcut(Key::v, MF::command | MF::shift)
        << std::optional<QString>(QStringLiteral("Paste Special"));
    QTest::newRow("upper case needs shift")
        << Shortcut(Key::v, MF::command) << std::optional<QString>();
    QTest::newRow("submenu") << Shortcut(Key::a, MF::control)
                             << std::optional<QString>(QStringLiteral("Deep"));
    QTest::newRow("keypad never matches")
        << Shortcut(Key::keypadPlus, MF::command) << std::optional<QString>();
}

void TestKeyNaming::menuItemsInUse() {
    QFETCH(Shortcut, shortcut);
    QFETCH(std::optional<QString>, item);
    MenuItem edit{QStringLiteral("Edit"), QString(), 0, {}};
    edit.submenu = {{QStringLiteral("Paste Special"), QStringLiteral("V"), MF::command, {}},
                    {QStringLiteral("More"),
                     QString(),
                     0,
                     {{QStringLiteral("Deep"), QStringLiteral("a"), MF::control, {}}}}};
    setMenuItems({{QStringLiteral("Settings…"), QStringLiteral(","), MF::command, {}},
                  {QStringLiteral("Plus"), QStringLiteral("+"), MF::command, {}},
                  edit,
                  {QStringLiteral("Quit Quillet"), QStringLiteral("q"), MF::command, {}}});
    QCOMPARE(menuItemUsing(shortcut), item);
}

void TestKeyNaming::everyKeyHasAPhysicalKey() {
    // Every constant but the function key maps to a distinct PC key and back.
    QSet<int> seen;
    for (int code = 0; code < 128; ++code) {
        const auto evdev = evdevCodeForKeyCode(code);
        if (!evdev)
            continue;
        QVERIFY2(!seen.contains(*evdev), qPrintable(QString::number(code)));
        seen.insert(*evdev);
        QCOMPARE(keyCodeForEvdevCode(*evdev), std::optional(code));
    }
    QCOMPARE(seen.size(), 118);
    QVERIFY(!evdevCodeForKeyCode(Key::function.rawValue));
    QCOMPARE(evdevCodeForKeyCode(Key::v.rawValue), std::optional(47));
    QCOMPARE(evdevCodeForKeyCode(Key::command.rawValue), std::optional(125));
    // The ISO key left of Z and the JIS keys are recordable too.
    QCOMPARE(keyCodeForEvdevCode(86), std::optional(Key::isoSection.rawValue));
    QCOMPARE(keyCodeForEvdevCode(124), std::optional(Key::jisYen.rawValue));
    QCOMPARE(keyCodeForEvdevCode(92), std::optional(Key::jisKana.rawValue));
}

QTEST_MAIN(TestKeyNaming)
#include "tst_keynaming.moc"
