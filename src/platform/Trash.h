#pragma once

#include <QString>

// The desktop's Trash. Screenshots are never deleted outright.
class Trash {
public:
    virtual ~Trash() = default;
    // True only when the file really is in the Trash now.
    virtual bool moveToTrash(const QString& path) = 0;
};
