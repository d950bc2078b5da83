#include "settings/JsonDefaultsStore.h"

#include "platform/WriteFailures.h"
#include "settings/SettingsLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>
#include <QStandardPaths>

JsonDefaultsStore::JsonDefaultsStore(QString path, WriteFailures* failures, QObject* parent)
    : DefaultsStore(parent)
    , m_path(std::move(path))
    , m_failures(failures) {
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
        qCWarning(settingsLog) << "cannot read the settings" << m_path << f.errorString()
                               << "- starting from the defaults";
        m_damaged = true;
        return;
    }
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject()) {
        qCWarning(settingsLog) << "the settings in" << m_path << "are damaged ("
                               << err.errorString() << ") - starting from the defaults";
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
        if (QFile::rename(m_path, aside))
            qCWarning(settingsLog) << "damaged settings kept as" << aside;
        m_damaged = false;
    }
    QSaveFile out(m_path);
    m_lastWriteOk = false;
    if (!out.open(QIODevice::WriteOnly)) {
        writeFailed(out.errorString());
        return;
    }
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QByteArray bytes = QJsonDocument(m_values).toJson(QJsonDocument::Indented);
    if (out.write(bytes) != bytes.size()) {
        writeFailed(out.errorString());
        out.cancelWriting();
        return;
    }
    m_lastWriteOk = out.commit();
    if (!m_lastWriteOk)
        writeFailed(out.errorString());
}

void JsonDefaultsStore::writeFailed(const QString& reason) {
    WriteFailures::report(m_failures, settingsLog(), QStringLiteral("the settings"), m_path,
                          reason);
}
