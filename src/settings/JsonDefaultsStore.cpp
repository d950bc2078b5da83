#include "settings/JsonDefaultsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>
#include <QStandardPaths>

JsonDefaultsStore::JsonDefaultsStore(QString path, QObject* parent)
    : DefaultsStore(parent)
    , m_path(std::move(path)) {
    load();
}

QString JsonDefaultsStore::userPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Quillet/defaults.json");
}

void JsonDefaultsStore::load() {
    QFile f(m_path);
    if (!f.exists())
        return;
    if (!f.open(QIODevice::ReadOnly)) {
        m_damaged = true;
        return;
    }
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject()) {
        m_damaged = true;
        return;
    }
    m_values = doc.object();
}

std::optional<QJsonValue> JsonDefaultsStore::object(const QString& key) const {
    const auto it = m_values.constFind(key);
    if (it == m_values.constEnd())
        return std::nullopt;
    return *it;
}

void JsonDefaultsStore::setObject(const QString& key, const QJsonValue& value) {
    m_values.insert(key, value);
    save();
    Q_EMIT changed(key);
}

void JsonDefaultsStore::removeObject(const QString& key) {
    m_values.remove(key);
    save();
    Q_EMIT changed(key);
}

void JsonDefaultsStore::save() {
    const QFileInfo info(m_path);
    QDir().mkpath(info.absolutePath());
    if (m_damaged) {
        // Keep the unreadable file for the user instead of writing over it.
        const QString aside = m_path + QStringLiteral(".damaged");
        QFile::remove(aside);
        QFile::rename(m_path, aside);
        m_damaged = false;
    }
    QSaveFile out(m_path);
    m_lastWriteOk = false;
    if (!out.open(QIODevice::WriteOnly))
        return;
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QByteArray bytes = QJsonDocument(m_values).toJson(QJsonDocument::Indented);
    if (out.write(bytes) != bytes.size()) {
        out.cancelWriting();
        return;
    }
    m_lastWriteOk = out.commit();
}
