#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace KeyboardShortcuts {
class Center;
}

// The recorder for the quick picker's shortcut and how the picker is used;
// where the desktop decides the keys, what it assigned and how to change it.
class ShortcutsSection : public QWidget {
    Q_OBJECT
public:
    explicit ShortcutsSection(KeyboardShortcuts::Center& shortcuts, QWidget* parent = nullptr);

    QWidget* recorder() const { return m_recorder; }

private:
    void showSituation(const KeyboardShortcuts::Center& shortcuts);

    QWidget* m_recorder;
    QPushButton* m_change = nullptr;
    // Why there is no shortcut, or where the desktop lets the user change it.
    QLabel* m_situation;
};
