#pragma once

#include "ui/panel/PanelTab.h"

#include <QObject>
#include <QString>
#include <QUrl>

// What the panel's views share: the tab shown, the clipboard search text and
// the file that the Space key would preview. Lives for the whole process and
// survives hiding the panel; nothing is persisted. Every assignment notifies.
class PanelState : public QObject {
    Q_OBJECT
    Q_PROPERTY(PanelTab tab READ tab WRITE setTab NOTIFY tabChanged)
    Q_PROPERTY(QString searchText READ searchText WRITE setSearchText NOTIFY searchTextChanged)
    Q_PROPERTY(QUrl quickLookURL READ quickLookURL WRITE setQuickLookURL NOTIFY quickLookURLChanged)

public:
    explicit PanelState(QObject* parent = nullptr);

    PanelTab tab() const { return m_tab; }
    void setTab(PanelTab tab);

    QString searchText() const { return m_searchText; }
    void setSearchText(const QString& text);

    // Empty when nothing was hovered or clicked yet.
    QUrl quickLookURL() const { return m_quickLookURL; }
    void setQuickLookURL(const QUrl& url);

Q_SIGNALS:
    void tabChanged();
    void searchTextChanged();
    void quickLookURLChanged();

private:
    PanelTab m_tab = PanelTab::screenshots;
    QString m_searchText;
    QUrl m_quickLookURL;
};
