#pragma once

#include "platform/DefaultsStore.h"

#include <QJsonObject>

class WriteFailures;

// DefaultsStore kept in one JSON object on disk. The file is read once at
// construction and rewritten atomically on every assignment. A damaged file
// reads as an empty store; before the first write replaces it, it is kept
// beside as "<name>.damaged" so that nothing the user had is silently lost.
class JsonDefaultsStore : public DefaultsStore {
    Q_OBJECT
public:
    // A write that fails is reported to `failures`.
    explicit JsonDefaultsStore(QString path, WriteFailures* failures = nullptr,
                               QObject* parent = nullptr);

    // Where the user's store lives: $XDG_CONFIG_HOME/Quillet/defaults.json.
    static QString userPath();

    std::optional<QJsonValue> object(const QString& key) const override;
    void setObject(const QString& key, const QJsonValue& value) override;
    void removeObject(const QString& key) override;
    QStringList keys() const override { return m_values.keys(); }

    QString path() const { return m_path; }
    // False when the last write could not be completed (the old file stays).
    bool lastWriteSucceeded() const { return m_lastWriteOk; }

private:
    void load();
    void save();
    void writeFailed(const QString& reason);

    QString m_path;
    WriteFailures* m_failures;
    QJsonObject m_values;
    bool m_damaged = false;
    bool m_lastWriteOk = true;
};
