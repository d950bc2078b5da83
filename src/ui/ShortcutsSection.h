#pragma once

#include "ui/SettingsHooks.h"

#include <QWidget>

// The recorder for the quick picker's shortcut and how the picker is used.
class ShortcutsSection : public QWidget {
    Q_OBJECT
public:
    ShortcutsSection(const SettingsHooks& hooks, QWidget* parent = nullptr);

    QWidget* recorder() const { return m_recorder; }

private:
    QWidget* m_recorder;
};
