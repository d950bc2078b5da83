#include "ui/Toast.h"

Toast::Toast(QObject* parent)
    : QObject(parent) {
    m_hideTimer.setSingleShot(true);
    m_hideTimer.setInterval(displayMs);
    m_hideTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_hideTimer, &QTimer::timeout, this, &Toast::clear);
}

void Toast::show(const QString& message) {
    m_message = message;
    Q_EMIT messageChanged();
    // Restarting drops the earlier message's pending clear.
    m_hideTimer.start();
}

void Toast::clear() {
    m_message.clear();
    Q_EMIT messageChanged();
}
