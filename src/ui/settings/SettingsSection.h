#pragma once

#include <QList>
#include <QString>

// The sections of the settings window, in tab-bar order.
enum class SettingsSection { General, Screenshots, Clipboard, Shortcuts, About };

namespace SettingsSections {
QList<SettingsSection> all();
QString title(SettingsSection section);
QString symbol(SettingsSection section);
} // namespace SettingsSections
