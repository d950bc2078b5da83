#include "platform/WriteFailures.h"

void WriteFailures::report(const QLoggingCategory& category, const QString& what,
                           const QString& path, const QString& reason) {
    bool first = false;
    bool firstOfKind = false;
    {
        const std::lock_guard lock(m_mutex);
        first = !m_first;
        if (first)
            m_first = Failure{what, path, reason};
        firstOfKind = !m_logged.contains(what);
        m_logged.insert(what);
    }
    if (firstOfKind) {
        qCWarning(category).noquote() << "cannot write" << what << path << ":" << reason
                                      << "(later failures of this kind are logged as debug)";
    } else {
        qCDebug(category).noquote() << "cannot write" << what << path << ":" << reason;
    }
    if (first)
        Q_EMIT firstFailure(what, path, reason);
}

void WriteFailures::report(WriteFailures* sink, const QLoggingCategory& category,
                           const QString& what, const QString& path, const QString& reason) {
    if (sink)
        sink->report(category, what, path, reason);
    else
        qCWarning(category).noquote() << "cannot write" << what << path << ":" << reason;
}

std::optional<WriteFailures::Failure> WriteFailures::first() const {
    const std::lock_guard lock(m_mutex);
    return m_first;
}
