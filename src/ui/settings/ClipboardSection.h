#pragma once

#include "platform/Capability.h"

#include <QList>
#include <QWidget>

class CopyBack;
class Prefs;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
class SettingsMenu;
class SettingsSwitch;

// History on/off and limits, the applications never recorded from, and pasting directly.
class ClipboardSection : public QWidget {
    Q_OBJECT
public:
    // capabilities: what this desktop allows; the paste row says why pasting may not work.
    ClipboardSection(Prefs& prefs, CopyBack& copyBack, const QList<Capability>& capabilities,
                     QWidget* parent = nullptr);

    SettingsSwitch* historySwitch() const { return m_history; }
    SettingsMenu* maxItemsMenu() const { return m_maxItems; }
    SettingsMenu* maxDaysMenu() const { return m_maxDays; }
    QLineEdit* exclusionField() const { return m_newExclusion; }
    QPushButton* addButton() const { return m_add; }
    SettingsSwitch* pasteDirectlySwitch() const { return m_pasteDirectly; }
    QLabel* pasteStatus() const { return m_pasteStatus; }

    // Adds the typed identifier, trimmed of spaces and tabs, unless it is empty or already
    // listed; the field is cleared either way.
    void addExclusion();
    // Removes every entry equal to the identifier, keeping the order of the rest.
    void removeExclusion(const QString& identifier);

    static QString canPasteText();
    QString cannotPasteText() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refresh();
    void rebuildExclusions();
    void refreshPasteStatus();

    Prefs& m_prefs;
    CopyBack& m_copyBack;
    QString m_cannotPaste;
    SettingsSwitch* m_history;
    SettingsMenu* m_maxItems;
    SettingsMenu* m_maxDays;
    QVBoxLayout* m_exclusions;
    QLineEdit* m_newExclusion;
    QPushButton* m_add;
    SettingsSwitch* m_pasteDirectly;
    QLabel* m_pasteStatus;
};
