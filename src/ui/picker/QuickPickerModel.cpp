#include "ui/picker/QuickPickerModel.h"

#include "history/ClipStore.h"

#include <algorithm>

QuickPickerModel::QuickPickerModel(ClipStore& store, QObject* parent)
    : QObject(parent)
    , m_store(store) {}

ClipItemList QuickPickerModel::newest(const ClipItemList& all) {
    ClipItemList sorted = all;
    std::stable_sort(sorted.begin(), sorted.end(), [](const ClipItem& a, const ClipItem& b) {
        return a.createdAt > b.createdAt;
    });
    if (sorted.size() > maxItems)
        sorted.resize(maxItems);
    return sorted;
}

void QuickPickerModel::setSelection(qint64 selection) {
    m_selection = selection;
    Q_EMIT selectionChanged();
}

void QuickPickerModel::reload() {
    m_items = newest(m_store.items());
    Q_EMIT itemsChanged();
    setSelection(0);
}

void QuickPickerModel::selectNext() {
    setSelection(std::min(m_selection + 1, std::max<qint64>(m_items.size() - 1, 0)));
}

void QuickPickerModel::selectPrevious() {
    setSelection(std::max<qint64>(m_selection - 1, 0));
}
