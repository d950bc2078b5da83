#include "history/OrderedCommits.h"

void OrderedCommits::fulfil(quint64 ticket, std::function<void()> commit) {
    m_ready.emplace(ticket, std::move(commit));
    // Taken out before running: a commit may reserve and fulfil tickets itself.
    for (auto it = m_ready.find(m_head); it != m_ready.end(); it = m_ready.find(m_head)) {
        std::function<void()> next = std::move(it->second);
        m_ready.erase(it);
        ++m_head;
        if (next)
            next();
    }
}
