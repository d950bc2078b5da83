#pragma once

#include <QString>

// Plays named event sounds of the desktop's sound theme.
class SystemSound {
public:
    virtual ~SystemSound() = default;
    // Silent when the theme, the event or an audio device is missing.
    virtual void play(const QString& eventId) = 0;
};
