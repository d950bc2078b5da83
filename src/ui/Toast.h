#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

// The short message that flashes over the panel after an action. A new
// message replaces the shown one at once and gets its own full display time.
class Toast : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString message READ message NOTIFY messageChanged)

public:
    static constexpr int displayMs = 900;

    explicit Toast(QObject* parent = nullptr);

    // Empty while no toast is shown.
    QString message() const { return m_message; }
    bool isShowing() const { return !m_message.isEmpty(); }
    void show(const QString& message);

Q_SIGNALS:
    void messageChanged();

private:
    void clear();

    QString m_message;
    QTimer m_hideTimer;
};
