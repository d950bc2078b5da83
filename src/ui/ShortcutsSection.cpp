#include "ui/ShortcutsSection.h"

#include "KeyboardShortcuts/KeyboardShortcuts.h"
#include "ui/SettingsRow.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

ShortcutsSection::ShortcutsSection(const SettingsHooks& hooks, QWidget* parent)
    : QWidget(parent) {
    m_recorder = hooks.makeRecorder ? hooks.makeRecorder(this) : nullptr;
    if (!m_recorder) {
        // Without the shortcut module there is nothing to record into.
        auto* placeholder = new QLineEdit(this);
        placeholder->setPlaceholderText(QStringLiteral("Record Shortcut"));
        placeholder->setEnabled(false);
        m_recorder = placeholder;
    }
    m_recorder->setMinimumWidth(130);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(
        new SettingsRow(QStringLiteral("Quick paste at your cursor"), {}, m_recorder));
    layout->addSpacing(4);
    layout->addWidget(SettingsRow::note(QStringLiteral(
        "Pops up your 5 most recent clips right where you're working — ↑↓ or 1–5 to pick, "
        "Return to copy. Default ⌘⇧V. The full history is one click on the menu bar "
        "paperclip.")));
    KeyboardShortcuts::Center* shortcuts = hooks.shortcuts ? hooks.shortcuts() : nullptr;
    const QString unavailable = shortcuts ? shortcuts->unavailableReason() : QString();
    if (!unavailable.isEmpty()) {
        layout->addSpacing(4);
        layout->addWidget(SettingsRow::note(unavailable));
    }
    layout->addStretch();
}
