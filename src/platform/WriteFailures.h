#pragma once

#include <QLoggingCategory>
#include <QObject>
#include <QSet>
#include <QString>

#include <mutex>
#include <optional>

// Where Quillet's writers of its own files (the history, its data files, the
// previews, the settings, the capture marks) report a write that failed. A
// full or read-only disk fails every write, copy after copy: each kind of
// file is logged as a warning the first time (in the writer's category) and
// only in the debug log after that, and the user is told once per run
// (firstFailure). Nothing is retried here. Safe on any thread: previews are
// written on worker threads, and firstFailure then reaches the main thread
// queued.
class WriteFailures : public QObject {
    Q_OBJECT
public:
    explicit WriteFailures(QObject* parent = nullptr)
        : QObject(parent) {}

    // what: the kind of file, as the log and the user read it ("a clip's data file").
    void report(const QLoggingCategory& category, const QString& what, const QString& path,
                const QString& reason);
    // The same through a writer that may have been given no sink: a warning every time then.
    static void report(WriteFailures* sink, const QLoggingCategory& category, const QString& what,
                       const QString& path, const QString& reason);

    struct Failure {
        QString what, path, reason;
    };
    // The first failure of the run so far, for whoever starts listening late.
    std::optional<Failure> first() const;

Q_SIGNALS:
    void firstFailure(const QString& what, const QString& path, const QString& reason);

private:
    mutable std::mutex m_mutex;
    QSet<QString> m_logged;
    std::optional<Failure> m_first;
};
