#pragma once

#include <QtGlobal>

#include <functional>
#include <map>

// Runs the results of work that may finish out of order in the order the
// work began: a ticket is taken when it starts, and its commit runs once
// every earlier ticket has been fulfilled. Main thread only.
class OrderedCommits {
public:
    quint64 reserve() { return m_next++; }
    // An empty commit just lets the later ones through.
    void fulfil(quint64 ticket, std::function<void()> commit);
    bool idle() const { return m_head == m_next; }

private:
    quint64 m_next = 0;
    quint64 m_head = 0;
    std::map<quint64, std::function<void()>> m_ready;
};
