#pragma once

#include "history/ClipItem.h"
#include "ui/UiServices.h"

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

class ClipListModel;
class ClipListView;
class ClipStore;
class EmptyState;
class PanelState;
class QKeyEvent;
class QLineEdit;
class QStackedWidget;
class SymbolButton;

// The clipboard tab: the search row, the list of pinned items and history,
// and the empty state. Changes the history only through the store.
class ClipboardView : public QWidget {
    Q_OBJECT

public:
    ClipboardView(PanelState& state, UiServices& services, QWidget* parent = nullptr);

    ClipListModel& model() const { return *m_model; }
    ClipListView& list() const { return *m_list; }
    QLineEdit& searchField() const { return *m_search; }
    bool showsEmptyState() const;
    QString emptyTitle() const;
    QString emptySubtitle() const; // empty when the subtitle is hidden
    // The open clear confirmation, if any.
    QMessageBox* clearConfirmation() const { return m_confirm; }

    void copy(const ClipItem& item);
    void requestClear();
    // The list's keys (ClipListView::handleKey), typed in the search field
    // or anywhere else in the tab. In a search field holding text, Space and
    // Delete edit the text until the arrows choose a row.
    bool handleKey(QKeyEvent* event, bool inSearchField);

Q_SIGNALS:
    // The copy sequence wants the panel out of the way before pasting.
    void hideRequested();

private:
    void refresh();
    void showPreview(const ClipItem& item, const QRect& rowInGlobal);

    PanelState& m_state;
    UiServices& m_ui;
    ClipListModel* m_model = nullptr;
    ClipListView* m_list = nullptr;
    QLineEdit* m_search = nullptr;
    SymbolButton* m_clearSearch = nullptr;
    QStackedWidget* m_body = nullptr;
    EmptyState* m_empty = nullptr;
    QPointer<QMessageBox> m_confirm;
    // The arrows chose a row since the search text was last edited.
    bool m_navigated = false;
};
