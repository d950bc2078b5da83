#include "settings/Prefs.h"

#include "platform/DefaultsStore.h"
#include "platform/LoginItem.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QStandardPaths>

Prefs::Prefs(DefaultsStore& store, LoginItem& loginItem, QObject* parent)
    : QObject(parent)
    , m_store(store)
    , m_loginItem(loginItem)
    , m_autoCopyScreenshots(store.typedBool(QStringLiteral("autoCopy")).value_or(true))
    , m_playSound(store.boolForKey(QStringLiteral("sound")))
    , m_showBadge(store.boolForKey(QStringLiteral("badge")))
    , m_clipboardEnabled(store.typedBool(QStringLiteral("clipEnabled")).value_or(true))
    , m_maxItems(store.typedInteger(QStringLiteral("maxItems")).value_or(500))
    , m_maxDays(store.typedInteger(QStringLiteral("maxDays")).value_or(30))
    , m_excludedApps(
          store.typedStringList(QStringLiteral("excludedApps")).value_or(defaultExcludedApps()))
    , m_pasteDirectly(store.boolForKey(QStringLiteral("pasteDirectly")))
    , m_dedicatedFolder(store.boolForKey(QStringLiteral("dedicatedFolder")))
    , m_autoDeleteDays(store.typedInteger(QStringLiteral("autoDeleteDays")).value_or(0))
    , m_launchAtLogin(loginItem.status() == LoginItem::Status::Enabled) {}

QString Prefs::appSupportDir() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString dir = base + QStringLiteral("/Quillet");
    if (QDir().mkpath(dir)) {
        // The history holds whatever the user copied, passwords included: owner only.
        QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                       QFileDevice::ExeOwner);
    }
    return dir;
}

QStringList Prefs::defaultExcludedApps() {
    return {QStringLiteral("1password"), QStringLiteral("com.bitwarden.desktop"),
            QStringLiteral("bitwarden"), QStringLiteral("org.gnome.seahorse.Application")};
}

void Prefs::setAutoCopyScreenshots(bool value) {
    m_autoCopyScreenshots = value;
    Q_EMIT autoCopyScreenshotsChanged();
    m_store.setBool(QStringLiteral("autoCopy"), value);
}

void Prefs::setPlaySound(bool value) {
    m_playSound = value;
    Q_EMIT playSoundChanged();
    m_store.setBool(QStringLiteral("sound"), value);
}

void Prefs::setShowBadge(bool value) {
    m_showBadge = value;
    Q_EMIT showBadgeChanged();
    m_store.setBool(QStringLiteral("badge"), value);
}

void Prefs::setClipboardEnabled(bool value) {
    m_clipboardEnabled = value;
    Q_EMIT clipboardEnabledChanged();
    m_store.setBool(QStringLiteral("clipEnabled"), value);
}

void Prefs::setMaxItems(qint64 value) {
    m_maxItems = value;
    Q_EMIT maxItemsChanged();
    m_store.setInteger(QStringLiteral("maxItems"), value);
}

void Prefs::setMaxDays(qint64 value) {
    m_maxDays = value;
    Q_EMIT maxDaysChanged();
    m_store.setInteger(QStringLiteral("maxDays"), value);
}

void Prefs::setExcludedApps(const QStringList& value) {
    m_excludedApps = value;
    Q_EMIT excludedAppsChanged();
    m_store.setObject(QStringLiteral("excludedApps"), QJsonArray::fromStringList(value));
}

void Prefs::setPasteDirectly(bool value) {
    m_pasteDirectly = value;
    Q_EMIT pasteDirectlyChanged();
    m_store.setBool(QStringLiteral("pasteDirectly"), value);
}

void Prefs::setDedicatedFolder(bool value) {
    m_dedicatedFolder = value;
    Q_EMIT dedicatedFolderChanged();
    m_store.setBool(QStringLiteral("dedicatedFolder"), value);
}

void Prefs::setAutoDeleteDays(qint64 value) {
    m_autoDeleteDays = value;
    Q_EMIT autoDeleteDaysChanged();
    m_store.setInteger(QStringLiteral("autoDeleteDays"), value);
}

void Prefs::setLaunchAtLogin(bool value) {
    m_launchAtLogin = value;
    Q_EMIT launchAtLoginChanged();
    const bool ok = value ? m_loginItem.registerItem() : m_loginItem.unregisterItem();
    if (!ok) {
        // Snap back to what the system really has, without trying again.
        m_launchAtLogin = m_loginItem.status() == LoginItem::Status::Enabled;
        Q_EMIT launchAtLoginChanged();
    }
}
