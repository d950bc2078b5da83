#include "KeyboardShortcuts/EventStream.h"

#include "KeyboardShortcuts/StreamTables.h"

#include <QPointer>
#include <QTimer>

namespace KeyboardShortcuts {

EventStream::EventStream(Name name, std::optional<EventType> only, QObject* parent)
    : QObject(parent)
    , m_name(std::move(name))
    , m_only(only)
    , m_id(QUuid::createUuid()) {
    QTimer::singleShot(0, this, [this] {
        m_entered = true;
        detail::addStream(
            m_name, m_id, [this] { deliver(EventType::keyDown); },
            [this] { deliver(EventType::keyUp); });
    });
}

EventStream::~EventStream() {
    if (m_entered)
        detail::removeStream(m_name, m_id);
}

void EventStream::deliver(EventType type) {
    if (!m_only || *m_only == type)
        Q_EMIT received(type);
}

} // namespace KeyboardShortcuts
