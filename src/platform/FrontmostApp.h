#pragma once

#include <QString>

#include <optional>

// The application in front: its id (the desktop-file id without ".desktop"
// where one is known, else the window class) and its display name. Either may
// be missing.
struct FrontApp {
    std::optional<QString> id;
    std::optional<QString> name;
};

// Which application the user is working in. Main thread only.
class FrontmostApp {
public:
    virtual ~FrontmostApp() = default;
    // Nothing when no window is active.
    virtual std::optional<FrontApp> frontmost() = 0;
};
