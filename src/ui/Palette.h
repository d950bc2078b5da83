#pragma once

#include <QColor>

// The fixed colour set of the panel, picker and settings views. It does not
// follow the desktop's light or dark theme: the panel always draws dark.
namespace Palette {
inline QColor ink() {
    return QColor::fromRgbF(0.93f, 0.96f, 1.0f);
}
inline QColor textSecondary() {
    return QColor::fromRgbF(1, 1, 1, 0.75f);
}
inline QColor textDim() {
    return QColor::fromRgbF(1, 1, 1, 0.48f);
}
inline QColor hairline() {
    return QColor::fromRgbF(1, 1, 1, 0.16f);
}
inline QColor fill() {
    return QColor::fromRgbF(1, 1, 1, 0.10f);
}
inline QColor blue() {
    return QColor::fromRgbF(0.42f, 0.54f, 0.96f);
}
inline QColor violet() {
    return QColor::fromRgbF(0.655f, 0.545f, 0.98f);
}
inline QColor cyan() {
    return QColor::fromRgbF(0.66f, 0.91f, 1.0f);
}
inline QColor peach() {
    return QColor::fromRgbF(1.0f, 0.851f, 0.627f);
}
inline QColor green() {
    return QColor::fromRgbF(0.302f, 0.651f, 0.502f);
}
inline QColor white(float opacity) {
    return QColor::fromRgbF(1, 1, 1, opacity);
}
inline QColor black(float opacity) {
    return QColor::fromRgbF(0, 0, 0, opacity);
}
} // namespace Palette
