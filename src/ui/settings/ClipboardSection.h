#pragma once

#include "platform/Capability.h"

#include <QList>
#include <QWidget>

class AppIcons;
class ClipStore;
class CopyBack;
class Prefs;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
class RecentAppsButton;
class SettingsMenu;
class SettingsSwitch;

// History on/off and limits, the applications never recorded from, and pasting directly.
class ClipboardSection : public QWidget {
    Q_OBJECT
public:
    // capabilities: what this desktop allows; the paste row says why pasting may not work.
    // store and icons: the applications copied from, offered for the exclusion list.
    ClipboardSection(Prefs& prefs, CopyBack& copyBack, ClipStore& store, AppIcons& icons,
                     const QList<Capability>& capabilities, QWidget* parent = nullptr);

    SettingsSwitch* historySwitch() const { return m_history; }
    SettingsMenu* maxItemsMenu() const { return m_maxItems; }
    SettingsMenu* maxDaysMenu() const { return m_maxDays; }
    QLineEdit* exclusionField() const { return m_newExclusion; }
    QPushButton* addButton() const { return m_add; }
    RecentAppsButton* recentAppsButton() const { return m_recent; }
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
    // Appends the identifier unless it is empty or listed already.
    void exclude(const QString& identifier);
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
    RecentAppsButton* m_recent;
    SettingsSwitch* m_pasteDirectly;
    QLabel* m_pasteStatus;
};
