#pragma once

#include "KeyboardShortcuts/Name.h"

#include <QObject>
#include <QPointer>
#include <QUuid>

#include <optional>

namespace KeyboardShortcuts {

class Center;

// A subscription to the presses and releases of one name's shortcut. It
// starts delivering on the next turn of the event loop and delivers until it
// is destroyed (or its Center is); while it lives, the shortcut stays registered.
//
//   auto stream = center.events(name);
//   connect(stream.get(), &EventStream::received, this, &Picker::onShortcut);
class EventStream : public QObject {
    Q_OBJECT
public:
    // With a type, only events of that type are delivered.
    EventStream(Center& center, Name name, std::optional<EventType> only = std::nullopt,
                QObject* parent = nullptr);
    ~EventStream() override;

    const Name& name() const { return m_name; }
    // True from the turn of the event loop on which delivery started.
    bool isDelivering() const { return m_entered; }

Q_SIGNALS:
    void received(KeyboardShortcuts::EventType type);

private:
    void deliver(EventType type);

    QPointer<Center> m_center;
    Name m_name;
    std::optional<EventType> m_only;
    QUuid m_id;
    bool m_entered = false;
};

} // namespace KeyboardShortcuts
