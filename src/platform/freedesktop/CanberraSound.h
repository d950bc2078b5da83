#pragma once

#include "platform/SystemSound.h"

struct ca_context;

// Event sounds through libcanberra and the freedesktop sound theme.
class CanberraSound : public SystemSound {
public:
    CanberraSound() = default;
    ~CanberraSound() override;
    CanberraSound(const CanberraSound&) = delete;
    CanberraSound& operator=(const CanberraSound&) = delete;

    void play(const QString& eventId) override;

private:
    ca_context* m_context = nullptr;
};
