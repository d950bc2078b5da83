#pragma once

#include <QWidget>

namespace KeyboardShortcuts {
class Center;
}

// The recorder for the quick picker's shortcut and how the picker is used.
class ShortcutsSection : public QWidget {
    Q_OBJECT
public:
    explicit ShortcutsSection(KeyboardShortcuts::Center& shortcuts, QWidget* parent = nullptr);

    QWidget* recorder() const { return m_recorder; }

private:
    QWidget* m_recorder;
};
