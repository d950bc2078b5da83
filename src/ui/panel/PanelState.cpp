#include "ui/panel/PanelState.h"

PanelState::PanelState(QObject* parent)
    : QObject(parent) {}

void PanelState::setTab(PanelTab tab) {
    m_tab = tab;
    Q_EMIT tabChanged();
}

void PanelState::setSearchText(const QString& text) {
    m_searchText = text;
    Q_EMIT searchTextChanged();
}

void PanelState::setQuickLookURL(const QUrl& url) {
    m_quickLookURL = url;
    Q_EMIT quickLookURLChanged();
}
