#include "KeyboardShortcuts/EventStream.h"

#include "KeyboardShortcuts/Center.h"

#include <QTimer>

namespace KeyboardShortcuts {

EventStream::EventStream(Center& center, Name name, std::optional<EventType> only, QObject* parent)
    : QObject(parent)
    , m_center(&center)
    , m_name(std::move(name))
    , m_only(only)
    , m_id(QUuid::createUuid()) {
    QTimer::singleShot(0, this, [this] {
        if (!m_center)
            return;
        m_entered = true;
        m_center->addStream(
            m_name, m_id, [this] { deliver(EventType::keyDown); },
            [this] { deliver(EventType::keyUp); });
    });
}

EventStream::~EventStream() {
    if (m_entered && m_center)
        m_center->removeStream(m_name, m_id);
}

void EventStream::deliver(EventType type) {
    if (!m_only || *m_only == type)
        Q_EMIT received(type);
}

} // namespace KeyboardShortcuts
