#pragma once

#include "KeyboardShortcuts/Name.h"

#include <QUuid>

#include <functional>

// Bookkeeping between EventStream and the module's dispatch; not for callers.
namespace KeyboardShortcuts::detail {

void addStream(const Name& name, const QUuid& id, std::function<void()> onKeyDown,
               std::function<void()> onKeyUp);
void removeStream(const Name& name, const QUuid& id);

} // namespace KeyboardShortcuts::detail
