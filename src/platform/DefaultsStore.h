#pragma once

#include <QJsonValue>
#include <QObject>
#include <QString>

#include <optional>

// The user-defaults store: a typed key/value store that keeps booleans,
// integers, strings and string lists apart, so that a value read back in a new
// process has the type it was written with.
class DefaultsStore : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~DefaultsStore() override;

    // The stored value, or nothing when the key is absent.
    virtual std::optional<QJsonValue> object(const QString& key) const = 0;
    virtual void setObject(const QString& key, const QJsonValue& value) = 0;
    virtual void removeObject(const QString& key) = 0;
    // Every key that holds a value. Stores that cannot enumerate answer empty.
    virtual QStringList keys() const { return {}; }

    // Boolean lookup with the usual conversions: absent is false, numbers are
    // true when non-zero, strings when they start with Y, y, T, t or a
    // non-zero digit (leading white space skipped).
    bool boolForKey(const QString& key) const;
    void setBool(const QString& key, bool value) { setObject(key, QJsonValue(value)); }
    void setInteger(const QString& key, qint64 value) {
        setObject(key, QJsonValue(static_cast<double>(value)));
    }

    // Typed reads: a value only when the stored object has that type.
    std::optional<bool> typedBool(const QString& key) const;
    std::optional<qint64> typedInteger(const QString& key) const;
    std::optional<QString> typedString(const QString& key) const;
    std::optional<QStringList> typedStringList(const QString& key) const;

Q_SIGNALS:
    void changed(const QString& key);
};
