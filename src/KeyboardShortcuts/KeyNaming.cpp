#include "KeyboardShortcuts/KeyNaming.h"

#include "KeyboardShortcuts/Shortcut.h"
#include "KeyboardShortcuts/Texts.h"

#include <QHash>

#include <array>

namespace KeyboardShortcuts {

namespace {

struct SpecialKeyInfo {
    int keyCode;
    const char16_t* display; // nullptr: the localized word for the space key
    const char16_t* menu;    // nullptr: none
};

// Indexed by SpecialKey.
const std::array<SpecialKeyInfo, kSpecialKeyCount> kSpecialKeys{{
    {36, u"\u21A9", u"\u21A9"},     {51, u"\u232B", u"\u232B"},  {117, u"\u2326", u"\u2326"},
    {119, u"\u2198", u"\u2198"},    {53, u"\u238B", u"\u238B"},  {114, u"?\u20DD", u"?\u20DD"},
    {115, u"\u2196", u"\u2196"},    {49, nullptr, u" "},         {48, u"\u21E5", u"\u21E5"},
    {116, u"\u21DE", u"\u21DE"},    {121, u"\u21DF", u"\u21DF"}, {126, u"\u2191", u"\u2191"},
    {124, u"\u2192", u"\u2192"},    {125, u"\u2193", u"\u2193"}, {123, u"\u2190", u"\u2190"},
    {122, u"F1", u"\uF704"},        {120, u"F2", u"\uF705"},     {99, u"F3", u"\uF706"},
    {118, u"F4", u"\uF707"},        {96, u"F5", u"\uF708"},      {97, u"F6", u"\uF709"},
    {98, u"F7", u"\uF70A"},         {100, u"F8", u"\uF70B"},     {101, u"F9", u"\uF70C"},
    {109, u"F10", u"\uF70D"},       {103, u"F11", u"\uF70E"},    {111, u"F12", u"\uF70F"},
    {105, u"F13", u"\uF710"},       {107, u"F14", u"\uF711"},    {113, u"F15", u"\uF712"},
    {106, u"F16", u"\uF713"},       {64, u"F17", u"\uF714"},     {79, u"F18", u"\uF715"},
    {80, u"F19", u"\uF716"},        {90, u"F20", u"\uF717"},     {82, u"0\u20E3", nullptr},
    {83, u"1\u20E3", nullptr},      {84, u"2\u20E3", nullptr},   {85, u"3\u20E3", nullptr},
    {86, u"4\u20E3", nullptr},      {87, u"5\u20E3", nullptr},   {88, u"6\u20E3", nullptr},
    {89, u"7\u20E3", nullptr},      {91, u"8\u20E3", nullptr},   {92, u"9\u20E3", nullptr},
    {71, u"\u2612\u20E3", nullptr}, {65, u".\u20E3", nullptr},   {75, u"/\u20E3", nullptr},
    {76, u"\u21A9\u20E3", nullptr}, {81, u"=\u20E3", nullptr},   {78, u"-\u20E3", nullptr},
    {67, u"*\u20E3", nullptr},      {69, u"+\u20E3", nullptr},
}};

const QHash<int, SpecialKey>& keyCodeTable() {
    static const QHash<int, SpecialKey> table = [] {
        QHash<int, SpecialKey> t;
        for (int i = 0; i < kSpecialKeyCount; ++i)
            t.insert(kSpecialKeys[size_t(i)].keyCode, SpecialKey(i));
        return t;
    }();
    return table;
}

} // namespace

std::optional<SpecialKey> specialKeyForKeyCode(int keyCode) {
    const auto it = keyCodeTable().constFind(keyCode);
    if (it == keyCodeTable().constEnd())
        return std::nullopt;
    return *it;
}

int keyCodeForSpecialKey(SpecialKey key) {
    return kSpecialKeys[size_t(key)].keyCode;
}

QString specialKeyDisplayText(SpecialKey key) {
    const SpecialKeyInfo& info = kSpecialKeys[size_t(key)];
    if (!info.display) {
        QString word = localized("space_key");
        if (!word.isEmpty())
            word[0] = word[0].toUpper();
        return word;
    }
    return QString::fromUtf16(info.display);
}

std::optional<QString> specialKeyMenuEquivalent(SpecialKey key) {
    const SpecialKeyInfo& info = kSpecialKeys[size_t(key)];
    if (!info.menu)
        return std::nullopt;
    return QString::fromUtf16(info.menu);
}

bool isFunctionKey(int keyCode) {
    const auto key = specialKeyForKeyCode(keyCode);
    return key && *key >= SpecialKey::f1 && *key <= SpecialKey::f20;
}

QString modifierSymbols(quint32 modifierFlags) {
    QString s;
    if (modifierFlags & ModifierFlag::control)
        s += QChar(0x2303);
    if (modifierFlags & ModifierFlag::option)
        s += QChar(0x2325);
    if (modifierFlags & ModifierFlag::shift)
        s += QChar(0x21E7);
    if (modifierFlags & ModifierFlag::command)
        s += QChar(0x2318);
    if (modifierFlags & ModifierFlag::function)
        s += QString::fromUtf16(u"\U0001F310\uFE0E");
    return s;
}

} // namespace KeyboardShortcuts
