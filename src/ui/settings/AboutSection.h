#pragma once

#include "platform/Capability.h"

#include <QList>
#include <QUrl>
#include <QWidget>

class QLabel;
class QPushButton;

// Name, version, what Quillet does with the user's data, the update check, and
// what works on this desktop.
class AboutSection : public QWidget {
    Q_OBJECT
public:
    explicit AboutSection(const QList<Capability>& capabilities, QWidget* parent = nullptr);

    static QString versionText();
    static QUrl homePage();

    QLabel* versionLabel() const { return m_version; }
    QPushButton* checkForUpdatesButton() const { return m_checkForUpdates; }
    QLabel* link() const { return m_link; }
    // One line per capability: its title and state, its reason as the tooltip.
    QList<QLabel*> desktopRows() const { return m_desktopRows; }

Q_SIGNALS:
    void checkForUpdatesRequested();

private:
    QLabel* m_version;
    QPushButton* m_checkForUpdates;
    QLabel* m_link;
    QList<QLabel*> m_desktopRows;
};
