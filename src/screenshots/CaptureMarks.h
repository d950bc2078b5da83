#pragma once

#include <QList>
#include <QPair>
#include <QSet>
#include <QString>

#include <optional>

class WriteFailures;

// Remembers which files Quillet has recognised as captures, so that a capture
// renamed to "holiday.png" is still one after the next listing and after a
// restart. The mark is a user extended attribute on the file; where the file
// system keeps none (or refuses it), a small list of (device, inode) pairs in
// Quillet's data folder stands in. Both follow the file across renames.
class CaptureMarks {
public:
    using Key = QPair<quint64, quint64>; // device, inode
    using Keys = QSet<Key>;

    // listFile holds the stand-in list; it is read here and replaced
    // atomically. A write that fails is reported to `failures`.
    explicit CaptureMarks(QString listFile, WriteFailures* failures = nullptr);

    // File-system work only: safe on any thread.
    static bool hasAttribute(const QString& path);
    // False where the file system or the file's permissions refuse it.
    static bool setAttribute(const QString& path);
    static std::optional<Key> keyOf(const QString& path);

    // A copy for a listing on another thread.
    Keys remembered() const { return m_keys; }
    bool isMarked(const QString& path) const;
    // Marks the file: the attribute, else an entry in the list.
    void mark(const QString& path);
    void remember(const QList<Key>& keys);
    // Drops a list entry (of a file gone to the Trash), so that its inode
    // does not make a later file a capture.
    void forget(const Key& key);

    static constexpr const char* kAttribute = "user.quillet.capture";
    // Oldest entries go first beyond this; only captures on file systems
    // without attributes ever get here.
    static constexpr qsizetype kListLimit = 10000;

private:
    void save() const;

    QString m_file;
    WriteFailures* m_failures;
    QList<Key> m_order; // oldest first
    Keys m_keys;
};
