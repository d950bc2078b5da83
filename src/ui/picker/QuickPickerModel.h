#pragma once

#include "history/ClipItem.h"

#include <QObject>

class ClipStore;

// The picker's list: the five most recently created clips, pinned or not,
// and the highlighted row. Taken from the store on every reload only, so the
// list stands still while the picker is open.
class QuickPickerModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(ClipItemList items READ items NOTIFY itemsChanged)
    Q_PROPERTY(qint64 selection READ selection WRITE setSelection NOTIFY selectionChanged)

public:
    static constexpr int maxItems = 5;

    explicit QuickPickerModel(ClipStore& store, QObject* parent = nullptr);

    // The newest `maxItems` of `all` by creation time; equal times keep their order.
    static ClipItemList newest(const ClipItemList& all);

    const ClipItemList& items() const { return m_items; }
    qint64 selection() const { return m_selection; }
    void setSelection(qint64 selection);

    void reload();
    // Arrow keys: move the highlight one row, stopping at either end.
    void selectNext();
    void selectPrevious();

Q_SIGNALS:
    void itemsChanged();
    void selectionChanged();

private:
    ClipStore& m_store;
    ClipItemList m_items;
    qint64 m_selection = 0;
};
