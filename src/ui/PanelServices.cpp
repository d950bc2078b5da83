#include "ui/PanelServices.h"

PanelServices& PanelServices::shared() {
    static PanelServices services;
    return services;
}
