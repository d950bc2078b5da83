#pragma once

#include <QHashFunctions>
#include <QObject>
#include <QString>

#include <optional>

namespace Panel {
Q_NAMESPACE
// Which tab the floating panel shows; stored and compared by its text form,
// the enumerator's name.
enum class Tab { screenshots, clipboard };
Q_ENUM_NS(Tab)
} // namespace Panel

using PanelTab = Panel::Tab;

QString panelTabText(PanelTab tab);
// Nothing for a text that names no tab (the comparison is case-sensitive).
std::optional<PanelTab> panelTabFromText(const QString& text);

inline size_t qHash(PanelTab tab, size_t seed = 0) noexcept {
    return ::qHash(static_cast<int>(tab), seed);
}
