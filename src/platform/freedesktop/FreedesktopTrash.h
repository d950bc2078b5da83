#pragma once

#include "platform/Trash.h"

// The freedesktop.org Trash of the user's data folder.
class FreedesktopTrash : public Trash {
public:
    bool moveToTrash(const QString& path) override;
};
