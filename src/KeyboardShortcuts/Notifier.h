#pragma once

#include "KeyboardShortcuts/Name.h"

#include <QObject>

namespace KeyboardShortcuts {

// The module's change notifications as Qt signals, on one process-wide object.
class Notifier : public QObject {
    Q_OBJECT
public:
    static Notifier& shared();

Q_SIGNALS:
    // "KeyboardShortcuts_shortcutByNameDidChange": a name's stored shortcut was
    // stored or removed.
    void shortcutByNameDidChange(const KeyboardShortcuts::Name& name);
    // "KeyboardShortcuts_recorderActiveStatusDidChange": a recorder started
    // (true) or stopped (false) recording.
    void recorderActiveStatusDidChange(bool isActive);

private:
    using QObject::QObject;
};

} // namespace KeyboardShortcuts
