#pragma once

#include <QHashFunctions>
#include <QString>

#include <optional>

// Which tab the floating panel shows; stored and compared by its text form.
enum class PanelTab { screenshots, clipboard };

QString panelTabText(PanelTab tab);
// Nothing for a text that names no tab (the comparison is case-sensitive).
std::optional<PanelTab> panelTabFromText(const QString& text);

inline size_t qHash(PanelTab tab, size_t seed = 0) noexcept {
    return ::qHash(static_cast<int>(tab), seed);
}
