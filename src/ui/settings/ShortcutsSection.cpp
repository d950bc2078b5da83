#include "ui/settings/ShortcutsSection.h"

#include "KeyboardShortcuts/KeyboardShortcuts.h"
#include "KeyboardShortcuts/RecorderWidget.h"
#include "ui/settings/SettingsRow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ShortcutsSection::ShortcutsSection(KeyboardShortcuts::Center& shortcuts, QWidget* parent)
    : QWidget(parent) {
    m_recorder = new KeyboardShortcuts::RecorderWidget(
        shortcuts, KeyboardShortcuts::Name(QStringLiteral("openPanel")), this);
    m_recorder->setMinimumWidth(130);
    QWidget* control = m_recorder;
    if (shortcuts.keysAssignedByDesktop()) {
        // The desktop decides the keys; where it can, its own dialog changes them.
        control = new QWidget(this);
        auto* row = new QHBoxLayout(control);
        row->setContentsMargins(0, 0, 0, 0);
        row->addWidget(m_recorder);
        m_change = new QPushButton(tr("Change…"), control);
        row->addWidget(m_change);
        connect(m_change, &QPushButton::clicked, &shortcuts,
                &KeyboardShortcuts::Center::changeDesktopTrigger);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(new SettingsRow(tr("Quick paste at your cursor"), {}, control));
    layout->addSpacing(4);
    layout->addWidget(SettingsRow::note(
        tr("Pops up your 5 most recent clips right where you're working — ↑↓ or 1–5 to pick, "
           "Return to copy. Default ⌘⇧V. The full history is one click on the tray "
           "paperclip.")));
    layout->addSpacing(4);
    m_situation = SettingsRow::note(QString());
    layout->addWidget(m_situation);
    layout->addStretch();
    showSituation(shortcuts);
    // The desktop answers for its shortcut after the window may be open.
    connect(&shortcuts, &KeyboardShortcuts::Center::desktopTriggerDidChange, this,
            [this, &shortcuts] { showSituation(shortcuts); });
}

void ShortcutsSection::showSituation(const KeyboardShortcuts::Center& shortcuts) {
    const bool canChange = shortcuts.canChangeDesktopTrigger();
    if (m_change)
        m_change->setVisible(canChange);
    QString text = shortcuts.unavailableReason();
    if (text.isEmpty() && shortcuts.keysAssignedByDesktop() && !canChange)
        text = tr("Your desktop decides the keys of this shortcut: change them in "
                  "its keyboard settings.");
    m_situation->setText(text);
    m_situation->setVisible(!text.isEmpty());
}
