#include "ui/panel/PanelTab.h"

#include "platform/EnumText.h"

QString panelTabText(PanelTab tab) {
    return enumText(tab);
}

std::optional<PanelTab> panelTabFromText(const QString& text) {
    return enumFromText<PanelTab>(text);
}
