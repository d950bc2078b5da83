#include "platform/freedesktop/CanberraSound.h"

#include "platform/PlatformLog.h"

#include <canberra.h>

CanberraSound::~CanberraSound() {
    if (m_context)
        ca_context_destroy(m_context);
}

void CanberraSound::play(const QString& eventId) {
    if (!m_context) {
        if (const int rc = ca_context_create(&m_context); rc != CA_SUCCESS) {
            m_context = nullptr;
            qCWarning(platformLog) << "event sounds are unavailable:" << ca_strerror(rc);
            return;
        }
        ca_context_change_props(m_context, CA_PROP_APPLICATION_NAME, "Quillet", nullptr);
    }
    const int rc =
        ca_context_play(m_context, 0, CA_PROP_EVENT_ID, eventId.toUtf8().constData(), nullptr);
    if (rc != CA_SUCCESS)
        qCDebug(platformLog) << "sound" << eventId << "not played:" << ca_strerror(rc);
}
