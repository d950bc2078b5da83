#include "platform/null/NullHotKeys.h"

#include <QHash>

namespace {

// Without a keyboard layout to ask, keys are named as the US layout names
// them, by the shortcut module's virtual key codes.
QString usLayoutCharacter(int keyCode) {
    static const QHash<int, QChar> table = [] {
        // Key code 10 (the ISO key) has no US character.
        const std::pair<int, char> keys[] = {
            {0, 'a'},  {1, 's'},  {2, 'd'},   {3, 'f'},  {4, 'h'},  {5, 'g'},   {6, 'z'},
            {7, 'x'},  {8, 'c'},  {9, 'v'},   {11, 'b'}, {12, 'q'}, {13, 'w'},  {14, 'e'},
            {15, 'r'}, {16, 'y'}, {17, 't'},  {18, '1'}, {19, '2'}, {20, '3'},  {21, '4'},
            {22, '6'}, {23, '5'}, {24, '='},  {25, '9'}, {26, '7'}, {27, '-'},  {28, '8'},
            {29, '0'}, {30, ']'}, {31, 'o'},  {32, 'u'}, {33, '['}, {34, 'i'},  {35, 'p'},
            {37, 'l'}, {38, 'j'}, {39, '\''}, {40, 'k'}, {41, ';'}, {42, '\\'}, {43, ','},
            {44, '/'}, {45, 'n'}, {46, 'm'},  {47, '.'}, {50, '`'}};
        QHash<int, QChar> t;
        for (const auto& [code, c] : keys)
            t.insert(code, QLatin1Char(c));
        return t;
    }();
    const auto it = table.constFind(keyCode);
    return it == table.constEnd() ? QString() : QString(*it);
}

} // namespace

QString NullHotKeys::usCharacter(int keyCode) {
    return usLayoutCharacter(keyCode);
}

QString NullHotKeys::layoutCharacter(int keyCode) const {
    return usLayoutCharacter(keyCode);
}
