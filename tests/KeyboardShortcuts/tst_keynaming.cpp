#include "FakeHotKeys.h"

#include "KeyboardShortcuts/Center.h"
#include "platform/EvdevKeyCodes.h"
#include "settings/JsonDefaultsStore.h"

#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace KeyboardShortcuts;
namespace MF = ModifierFlag;

// Key texts and menu conflicts against a fixed layout (the real layouts are
// read in tst_x11hotkeys).
class TestKeyNaming : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        m_keyboard.layout = {{Key::v.rawValue, QStringLiteral("v")},
                             {Key::comma.rawValue, QStringLiteral(",")},
                             {Key::q.rawValue, QStringLiteral("q")},
                             {Key::a.rawValue, QStringLiteral("a")}};
    }
    void modifierConversions_data();
    void modifierConversions();
    void keyTexts_data();
    void keyTexts();
    void menuItemsInUse_data();
    void menuItemsInUse();
    void everyKeyHasOnePhysicalKey();

private:
    FakeHotKeys m_keyboard;
};

void TestKeyNaming::modifierConversions_data() {
    QTest::addColumn<quint32>("flags");
    QTest::addColumn<qint64>("carbon");
    QTest::addColumn<quint32>("flagsBack");
    QTest::newRow("command shift")
        << (MF::command | MF::shift) << qint64(768) << (MF::command | MF::shift);
    QTest::newRow("control") << MF::control << qint64(0x1000) << MF::control;
    QTest::newRow("option") << MF::option << qint64(0x800) << MF::option;
    QTest::newRow("function") << MF::function << qint64(0x20000) << MF::function;
    QTest::newRow("locks and pads dropped")
        << (MF::capsLock | MF::numericPad | MF::help | 0x1u | MF::option) << qint64(0x800)
        << MF::option;
}

void TestKeyNaming::modifierConversions() {
    QFETCH(quint32, flags);
    QFETCH(qint64, carbon);
    QFETCH(quint32, flagsBack);
    QCOMPARE(carbonModifiersFromFlags(flags), carbon);
    // Bits outside the five are dropped on the way back too.
    QCOMPARE(flagsFromCarbonModifiers(carbon | 0x1 | 0x400), flagsBack);
    // A key event's function flag is the keyboard's own doing; a declared one is kept.
    QCOMPARE(Shortcut::fromKeyEvent(Key::f5.rawValue, flags | MF::function),
             Shortcut(96, carbon & ~0x20000));
    QCOMPARE(Shortcut(Key::f5, flags), Shortcut(96, carbon));
}

void TestKeyNaming::keyTexts_data() {
    QTest::addColumn<Shortcut>("shortcut");
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<QString>>("menuKey");
    const std::optional<QString> none;
    QTest::newRow("command shift V")
        << Shortcut(9, 768) << QStringLiteral("⇧⌘V") << std::optional(QStringLiteral("v"));
    QTest::newRow("symbol order") << Shortcut(Key::a,
                                              MF::command | MF::shift | MF::option | MF::control)
                                  << QStringLiteral("⌃⌥⇧⌘A") << std::optional(QStringLiteral("a"));
    QTest::newRow("function globe")
        << Shortcut(Key::f1, MF::function | MF::control) << QStringLiteral("⌃\U0001F310\uFE0EF1")
        << std::optional(QStringLiteral("\uF704"));
    QTest::newRow("space word") << Shortcut(Key::space, MF::option) << QStringLiteral("⌥Space")
                                << std::optional(QStringLiteral(" "));
    QTest::newRow("return") << Shortcut(Key::returnKey, MF::command) << QStringLiteral("⌘↩")
                            << std::optional(QStringLiteral("↩"));
    QTest::newRow("backspace") << Shortcut(Key::deleteKey, 0) << QStringLiteral("⌫")
                               << std::optional(QStringLiteral("⌫"));
    QTest::newRow("help") << Shortcut(Key::help, 0) << QStringLiteral("?\u20DD")
                          << std::optional(QStringLiteral("?\u20DD"));
    QTest::newRow("F20") << Shortcut(Key::f20, MF::shift) << QStringLiteral("⇧F20")
                         << std::optional(QStringLiteral("\uF717"));
    QTest::newRow("keypad 7") << Shortcut(Key::keypad7, 0) << QStringLiteral("7\u20E3") << none;
    QTest::newRow("keypad clear") << Shortcut(Key::keypadClear, 0) << QStringLiteral("☒\u20E3")
                                  << none;
    QTest::newRow("keypad enter") << Shortcut(Key::keypadEnter, 0) << QStringLiteral("↩\u20E3")
                                  << none;
    QTest::newRow("no layout character")
        << Shortcut(Key::j, MF::command) << QStringLiteral("⌘\uFFFD") << none;
    QTest::newRow("punctuation") << Shortcut(Key::comma, MF::command) << QStringLiteral("⌘,")
                                 << std::optional(QStringLiteral(","));
}

void TestKeyNaming::keyTexts() {
    QFETCH(Shortcut, shortcut);
    QFETCH(QString, text);
    QFETCH(std::optional<QString>, menuKey);
    QCOMPARE(shortcut.description(m_keyboard), text);
    QCOMPARE(shortcut.menuKeyEquivalent(m_keyboard), menuKey);
}

void TestKeyNaming::menuItemsInUse_data() {
    QTest::addColumn<Shortcut>("shortcut");
    QTest::addColumn<std::optional<QString>>("item");
    const std::optional<QString> none;
    QTest::newRow("settings") << Shortcut(Key::comma, MF::command)
                              << std::optional(QStringLiteral("Settings…"));
    QTest::newRow("quit") << Shortcut(Key::q, MF::command)
                          << std::optional(QStringLiteral("Quit Quillet"));
    QTest::newRow("other modifiers") << Shortcut(Key::q, MF::command | MF::option) << none;
    QTest::newRow("upper case implies shift") << Shortcut(Key::v, MF::command | MF::shift)
                                              << std::optional(QStringLiteral("Paste Special"));
    QTest::newRow("upper case needs shift") << Shortcut(Key::v, MF::command) << none;
    QTest::newRow("submenu") << Shortcut(Key::a, MF::control)
                             << std::optional(QStringLiteral("Deep"));
    QTest::newRow("keypad never matches") << Shortcut(Key::keypadPlus, MF::command) << none;
}

void TestKeyNaming::menuItemsInUse() {
    QFETCH(Shortcut, shortcut);
    QFETCH(std::optional<QString>, item);
    QTemporaryDir dir;
    JsonDefaultsStore store(dir.filePath(QStringLiteral("defaults.json")));
    Center center(store, m_keyboard);
    MenuItem edit{QStringLiteral("Edit"), QString(), 0, {}};
    edit.submenu = {{QStringLiteral("Paste Special"), QStringLiteral("V"), MF::command, {}},
                    {QStringLiteral("More"),
                     QString(),
                     0,
                     {{QStringLiteral("Deep"), QStringLiteral("a"), MF::control, {}}}}};
    center.setMenuItems({{QStringLiteral("Settings…"), QStringLiteral(","), MF::command, {}},
                         {QStringLiteral("Plus"), QStringLiteral("+"), MF::command, {}},
                         edit,
                         {QStringLiteral("Quit Quillet"), QStringLiteral("q"), MF::command, {}}});
    QCOMPARE(center.menuItemUsing(shortcut), item);
}

void TestKeyNaming::everyKeyHasOnePhysicalKey() {
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
    QVERIFY(!evdevCodeForKeyCode(Key::function.rawValue));
    QCOMPARE(evdevCodeForKeyCode(Key::command.rawValue), std::optional(125));
}

QTEST_MAIN(TestKeyNaming)
#include "tst_keynaming.moc"
