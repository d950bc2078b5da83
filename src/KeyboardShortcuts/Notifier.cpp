#include "KeyboardShortcuts/Notifier.h"

namespace KeyboardShortcuts {

Notifier& Notifier::shared() {
    static Notifier* instance = new Notifier;
    return *instance;
}

} // namespace KeyboardShortcuts
