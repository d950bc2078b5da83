#include "ui/settings/ShortcutsSection.h"

#include "KeyboardShortcuts/KeyboardShortcuts.h"
#include "KeyboardShortcuts/RecorderWidget.h"
#include "ui/settings/SettingsRow.h"

#include <QLabel>
#include <QVBoxLayout>

ShortcutsSection::ShortcutsSection(KeyboardShortcuts::Center& shortcuts, QWidget* parent)
    : QWidget(parent) {
    m_recorder = new KeyboardShortcuts::RecorderWidget(
        shortcuts, KeyboardShortcuts::Name(QStringLiteral("openPanel")), this);
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
    const QString unavailable = shortcuts.unavailableReason();
    if (!unavailable.isEmpty()) {
        layout->addSpacing(4);
        layout->addWidget(SettingsRow::note(unavailable));
    }
    layout->addStretch();
}
