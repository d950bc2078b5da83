#include "ui/panel/ClipListModel.h"

#include "history/ClipStore.h"
#include "ui/PanelFormat.h"

#include <QDateTime>
#include <QFontMetricsF>
#include <QSet>
#include <QTextLayout>

#include <algorithm>

namespace {
// Only the start of a long text can appear in two lines.
constexpr int titleProbeChars = 600;

QStringList wrapTitle(const QString& title, const QFont& font, int width) {
    QString text = title.left(titleProbeChars);
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    QStringList lines;
    const QFontMetricsF fm(font);
    const QStringList paragraphs = text.split(QLatin1Char('\n'));
    for (int p = 0; p < paragraphs.size() && lines.size() < 2; ++p) {
        QTextLayout layout(paragraphs.at(p), font);
        layout.beginLayout();
        int start = 0;
        while (lines.size() < 2) {
            QTextLine line = layout.createLine();
            if (!line.isValid())
                break;
            line.setLineWidth(width);
            lines << paragraphs.at(p).mid(line.textStart(), line.textLength());
            start = line.textStart() + line.textLength();
        }
        layout.endLayout();
        // More text than fits: the last shown line ends in an ellipsis.
        const bool more = start < paragraphs.at(p).size() || p + 1 < paragraphs.size();
        if (lines.size() == 2 && more) {
            const QString withDots = lines.last().trimmed() + QStringLiteral("\u2026");
            lines.last() = fm.horizontalAdvance(withDots) <= width
                               ? withDots
                               : fm.elidedText(withDots, Qt::ElideRight, width);
        }
    }
    if (lines.isEmpty())
        lines << QString();
    return lines;
}
} // namespace

ClipListModel::ClipListModel(ClipStore& store, QObject* parent)
    : QAbstractListModel(parent)
    , m_store(store) {
    connect(&m_store, &ClipStore::itemsChanged, this, &ClipListModel::storeChanged);
    rebuild();
}

int ClipListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant ClipListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_entries.size())
        return {};
    const ClipListEntry& e = m_entries.at(index.row());
    const bool header = e.type == ClipListEntry::Type::header;
    switch (role) {
    case Qt::DisplayRole:
        return header ? e.header : clipRowTitle(e.item);
    case IsHeaderRole:
        return header;
    case ItemIdRole:
        return header ? QVariant() : QVariant(e.item.id);
    case PinnedRole:
        return !header && e.item.pinned;
    case Qt::AccessibleDescriptionRole:
        return header ? QVariant() : QVariant(clipMetaText(e.item, QDateTime::currentDateTime()));
    default:
        return {};
    }
}

Qt::ItemFlags ClipListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (m_entries.at(index.row()).type == ClipListEntry::Type::header)
        return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsDragEnabled;
}

void ClipListModel::setQuery(const QString& query) {
    if (query == m_query)
        return;
    m_query = query;
    rebuild();
}

bool ClipListModel::storeIsEmpty() const {
    return m_store.items().isEmpty();
}

const QStringList& ClipListModel::titleLines(int row, const QFont& font, int width) const {
    if (width != m_cacheWidth) {
        m_titleCache.clear();
        m_cacheWidth = width;
    }
    const ClipItem& item = m_entries.at(row).item;
    auto it = m_titleCache.find(item.id);
    if (it == m_titleCache.end())
        it = m_titleCache.insert(item.id, wrapTitle(clipRowTitle(item), font, width));
    return *it;
}

void ClipListModel::rebuild() {
    const ClipItemList filtered = filterClips(m_store.items(), m_query, &m_haystacks);
    QList<ClipListEntry> next = clipSections(filtered);
    m_clipCount = int(filtered.size());
    // Only the rows between the unchanged start and end are replaced: a copy
    // adds or moves one row at the top, and a reset would make the view lay
    // out every row again and forget its scroll position.
    const auto same = [](const ClipListEntry& a, const ClipListEntry& b) {
        return a.type == b.type && a.header == b.header && a.spaceAbove == b.spaceAbove &&
               a.item == b.item;
    };
    const qsizetype common = std::min(m_entries.size(), next.size());
    qsizetype head = 0;
    while (head < common && same(m_entries[head], next[head]))
        ++head;
    qsizetype tail = 0;
    while (tail < common - head &&
           same(m_entries[m_entries.size() - 1 - tail], next[next.size() - 1 - tail]))
        ++tail;
    const qsizetype oldEnd = m_entries.size() - tail;
    const qsizetype newEnd = next.size() - tail;
    if (oldEnd > head) {
        beginRemoveRows({}, int(head), int(oldEnd - 1));
        m_entries.remove(head, oldEnd - head);
        endRemoveRows();
    }
    if (newEnd > head) {
        beginInsertRows({}, int(head), int(newEnd - 1));
        m_entries = std::move(next);
        endInsertRows();
    }
    Q_EMIT rebuilt();
}

void ClipListModel::storeChanged() {
    // Keep what is known about the items still there; forget the rest.
    QSet<qint64> ids;
    for (const ClipItem& item : m_store.items())
        ids.insert(item.id);
    for (auto it = m_titleCache.begin(); it != m_titleCache.end();)
        it = ids.contains(it.key()) ? std::next(it) : m_titleCache.erase(it);
    for (auto it = m_haystacks.begin(); it != m_haystacks.end();)
        it = ids.contains(it.key()) ? std::next(it) : m_haystacks.erase(it);
    rebuild();
}
