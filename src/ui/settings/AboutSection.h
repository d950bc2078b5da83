#pragma once

#include <QUrl>
#include <QWidget>

class QLabel;
class QPushButton;

// Name, version, what Quillet does with the user's data, and the update check.
class AboutSection : public QWidget {
    Q_OBJECT
public:
    explicit AboutSection(QWidget* parent = nullptr);

    static QString versionText();
    static QUrl homePage();

    QLabel* versionLabel() const { return m_version; }
    QPushButton* checkForUpdatesButton() const { return m_checkForUpdates; }
    QLabel* link() const { return m_link; }

Q_SIGNALS:
    void checkForUpdatesRequested();

private:
    QLabel* m_version;
    QPushButton* m_checkForUpdates;
    QLabel* m_link;
};
