#include "ui/panel/PanelTab.h"

QString panelTabText(PanelTab tab) {
    switch (tab) {
    case PanelTab::screenshots:
        return QStringLiteral("screenshots");
    case PanelTab::clipboard:
        return QStringLiteral("clipboard");
    }
    return {};
}

std::optional<PanelTab> panelTabFromText(const QString& text) {
    for (PanelTab tab : {PanelTab::screenshots, PanelTab::clipboard}) {
        if (panelTabText(tab) == text)
            return tab;
    }
    return std::nullopt;
}
