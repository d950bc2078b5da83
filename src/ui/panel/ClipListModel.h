#pragma once

#include "ui/panel/ClipFilter.h"

#include <QAbstractListModel>
#include <QFont>
#include <QStringList>

#include <QHash>

class ClipStore;

// The clip list as rows: section headers and clips, filtered by the search
// text, rebuilt from the store's whole list whenever it or the query changes;
// only the rows that differ are removed and inserted.
class ClipListModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role { IsHeaderRole = Qt::UserRole + 1, ItemIdRole, PinnedRole };

    explicit ClipListModel(ClipStore& store, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void setQuery(const QString& query);
    QString query() const { return m_query; }
    const ClipListEntry& entry(int row) const { return m_entries.at(row); }
    // How many clips passed the filter, and whether the store holds any.
    int clipCount() const { return m_clipCount; }
    bool storeIsEmpty() const;
    // The title split into at most two display lines at `width`; cached per row.
    const QStringList& titleLines(int row, const QFont& font, int width) const;

Q_SIGNALS:
    void rebuilt();

private:
    void rebuild();

    ClipStore& m_store;
    QString m_query;
    QList<ClipListEntry> m_entries;
    int m_clipCount = 0;
    void storeChanged();

    // Per item id: an item's text never changes under the same id.
    mutable QHash<qint64, QStringList> m_titleCache;
    mutable int m_cacheWidth = -1;
    QHash<qint64, QString> m_haystacks;
};
