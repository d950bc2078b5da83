#include "platform/freedesktop/ToolScreenshotLocation.h"

#include "platform/DefaultsStore.h"
#include "platform/PlatformLog.h"
#include "platform/freedesktop/GnomeScreenshotsName.h"
#include "platform/freedesktop/IniKeyEditor.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

#include <sys/stat.h>

namespace {
const QString kSchema = QStringLiteral("org.gnome.gnome-screenshot");
const QString kGsettingsKey = QStringLiteral("auto-save-directory");
// What each tool held before the dedicated folder replaced it: tool name to
// the stored text, or null where the key was absent.
const QString kRememberedKey = QStringLiteral("screenshotToolFolders");
constexpr int kGsettingsTimeoutMs = 2000;

// Tools store either a file URL or a plain path; both mean a local folder.
std::optional<QString> toLocalFolder(const QString& stored) {
    QString value = stored.trimmed();
    if (value.isEmpty())
        return std::nullopt;
    QString path = value.startsWith(QLatin1String("file:")) ? QUrl(value).toLocalFile() : value;
    if (path.startsWith(QLatin1String("~/")) || path == QLatin1String("~"))
        path = QDir::homePath() + path.mid(1);
    if (path.isEmpty() || QDir::isRelativePath(path))
        return std::nullopt;
    return QDir::cleanPath(path);
}

// Writes the new folder in the form the tool already used (URL or path).
QString inFormOf(const std::optional<QString>& old, const QString& path, bool urlByDefault) {
    const bool asUrl =
        old && !old->isEmpty() ? old->startsWith(QLatin1String("file:")) : urlByDefault;
    return asUrl ? QUrl::fromLocalFile(path).toString() : path;
}

// QSettings-style string: quoted when it would not read back as itself.
QString qsettingsString(const QString& value) {
    static const QString special = QStringLiteral("\"\\;,=#");
    bool quote = value != value.trimmed();
    for (QChar c : value)
        quote = quote || special.contains(c);
    if (!quote)
        return value;
    QString escaped = value;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

QString unquoteQSettings(QString value) {
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) &&
        value.endsWith(QLatin1Char('"'))) {
        value = value.mid(1, value.size() - 2);
        value.replace(QLatin1String("\\\""), QLatin1String("\""))
            .replace(QLatin1String("\\\\"), QLatin1String("\\"));
    }
    return value;
}

std::optional<QString> fileValue(const QString& file, const QString& section, const QString& key) {
    QFile f(file);
    if (!QFileInfo(file).isFile())
        return std::nullopt;
    if (!f.open(QIODevice::ReadOnly)) {
        qCWarning(platformLog) << "cannot read" << file << f.errorString();
        return std::nullopt;
    }
    return IniKeyEditor::value(f.readAll(), section, key);
}

// Rewrites one key of a tool's file; a null value removes the key.
void writeFileValue(const QString& file, const QString& section, const QString& key,
                    const std::optional<QString>& value) {
    QFile in(file);
    if (!QFileInfo(file).isFile())
        return;
    if (!in.open(QIODevice::ReadOnly)) {
        qCWarning(platformLog) << "cannot read" << file << in.errorString();
        return;
    }
    const QByteArray before = in.readAll();
    in.close();
    QSaveFile out(file);
    // QSaveFile replaces the file; keep the user's permissions on it.
    const QFileDevice::Permissions permissions = QFileInfo(file).permissions();
    if (!out.open(QIODevice::WriteOnly)) {
        qCWarning(platformLog) << "cannot write" << file << out.errorString();
        return;
    }
    out.write(value ? IniKeyEditor::withValue(before, section, key, *value)
                    : IniKeyEditor::withoutKey(before, section, key));
    if (out.commit())
        QFile::setPermissions(file, permissions);
    else
        qCWarning(platformLog) << "cannot write" << file << out.errorString();
}

std::optional<QString> runGsettings(const QStringList& arguments) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("gsettings"));
    if (program.isEmpty())
        return std::nullopt;
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(kGsettingsTimeoutMs)) {
        qCWarning(platformLog) << "gsettings did not answer:" << arguments.join(u' ');
        process.kill();
        process.waitForFinished(500);
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// What gsettings' answer depends on: the settings database (dconf, or the key
// file of the keyfile backend), the compiled schemas and the variables that
// choose them. Equal stamps mean gsettings would answer as before.
QByteArray gsettingsStamp() {
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QStringList files{config + QStringLiteral("/dconf/user"),
                      config + QStringLiteral("/glib-2.0/settings/keyfile")};
    const QString schemaDir = qEnvironmentVariable("GSETTINGS_SCHEMA_DIR");
    if (!schemaDir.isEmpty())
        files << schemaDir + QStringLiteral("/gschemas.compiled");
    files << QStandardPaths::locateAll(QStandardPaths::GenericDataLocation,
                                       QStringLiteral("glib-2.0/schemas/gschemas.compiled"));
    QByteArray stamp = qgetenv("GSETTINGS_BACKEND") + '|' + schemaDir.toLocal8Bit() + '|' +
                       qgetenv("DCONF_PROFILE");
    for (const QString& file : files) {
        struct stat st {};
        stamp += '|' + file.toLocal8Bit();
        if (::stat(QFile::encodeName(file).constData(), &st) == 0)
            stamp += ':' + QByteArray::number(qulonglong(st.st_ino)) + ':' +
                     QByteArray::number(qlonglong(st.st_size)) + ':' +
                     QByteArray::number(qlonglong(st.st_mtim.tv_sec)) + '.' +
                     QByteArray::number(qlonglong(st.st_mtim.tv_nsec));
    }
    return stamp;
}

// A GVariant text string: 'value' with \ and ' escaped.
QString gvariantString(const QString& value) {
    QString escaped = value;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

std::optional<QString> fromGvariantString(const QString& text) {
    if (text.size() < 2)
        return std::nullopt;
    const QChar quote = text.front();
    if ((quote != QLatin1Char('\'') && quote != QLatin1Char('"')) || text.back() != quote)
        return std::nullopt;
    QString out;
    for (qsizetype i = 1; i < text.size() - 1; ++i) {
        if (text[i] == QLatin1Char('\\') && i + 1 < text.size() - 1)
            ++i;
        out += text[i];
    }
    return out;
}
} // namespace

ToolScreenshotLocation::ToolScreenshotLocation(QString configHome, QString currentDesktop,
                                               DefaultsStore* memory)
    : m_configHome(configHome.isEmpty()
                       ? QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                       : std::move(configHome))
    , m_currentDesktop(currentDesktop.isEmpty() ? qEnvironmentVariable("XDG_CURRENT_DESKTOP")
                                                : std::move(currentDesktop))
    , m_memory(memory) {}

QString ToolScreenshotLocation::spectacleConfig() const {
    return m_configHome + QStringLiteral("/spectaclerc");
}

QString ToolScreenshotLocation::flameshotConfig() const {
    return m_configHome + QStringLiteral("/flameshot/flameshot.ini");
}

QString ToolScreenshotLocation::xfceConfig() const {
    return m_configHome + QStringLiteral("/xfce4/xfce4-screenshooter");
}

QList<ToolScreenshotLocation::FileKey> ToolScreenshotLocation::fileKeys() const {
    return {{QStringLiteral("spectacle"), spectacleConfig(), QStringLiteral("Save"),
             QStringLiteral("defaultSaveLocation")},
            {QStringLiteral("flameshot"), flameshotConfig(), QStringLiteral("General"),
             QStringLiteral("savePath")},
            {QStringLiteral("xfce"), xfceConfig(), {}, QStringLiteral("screenshot_dir")}};
}

QString ToolScreenshotLocation::picturesFolder() {
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation));
}

QString ToolScreenshotLocation::gnomeShellFolder() {
    return picturesFolder() + QLatin1Char('/') + GnomeScreenshotsName::current();
}

QString ToolScreenshotLocation::desktopFolder() {
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
}

QString ToolScreenshotLocation::dedicatedFolder() const {
    return gnomeShellFolder();
}

std::optional<QString> ToolScreenshotLocation::spectacle() const {
    const auto v =
        fileValue(spectacleConfig(), QStringLiteral("Save"), QStringLiteral("defaultSaveLocation"));
    return v ? toLocalFolder(*v) : std::nullopt;
}

std::optional<QString> ToolScreenshotLocation::flameshot() const {
    const QString file = flameshotConfig();
    const auto fixed = fileValue(file, QStringLiteral("General"), QStringLiteral("savePathFixed"));
    if (!fixed || fixed->toLower() != QLatin1String("true"))
        return std::nullopt; // Flameshot asks every time: no folder to watch
    const auto v = fileValue(file, QStringLiteral("General"), QStringLiteral("savePath"));
    return v ? toLocalFolder(unquoteQSettings(*v)) : std::nullopt;
}

std::optional<QString> ToolScreenshotLocation::xfce() const {
    const auto v = fileValue(xfceConfig(), {}, QStringLiteral("screenshot_dir"));
    return v ? toLocalFolder(*v) : std::nullopt;
}

std::optional<QString> ToolScreenshotLocation::gnomeScreenshot() const {
    // Asked every minute: starting gsettings costs more than everything else
    // Quillet does while idle, and its answer changes only with its files.
    const std::lock_guard lock(m_gsettingsMutex);
    const QByteArray stamp = gsettingsStamp();
    if (stamp == m_gsettingsStamp)
        return m_gsettingsFolder;
    const auto out = runGsettings({QStringLiteral("get"), kSchema, kGsettingsKey});
    const auto v = out ? fromGvariantString(*out) : std::nullopt;
    m_gsettingsFolder = v ? toLocalFolder(*v) : std::nullopt;
    m_gsettingsStamp = stamp;
    return m_gsettingsFolder;
}

ScreenshotLocation::Folder ToolScreenshotLocation::resolve() const {
    const QStringList desktops = m_currentDesktop.toLower().split(QLatin1Char(':'));
    auto has = [&desktops](const char* name) {
        return desktops.contains(QLatin1String(name));
    };
    // An unconfigured tool saves where it does by default, which for each
    // of these is the Pictures folder, whether or not it exists yet.
    if (has("kde")) {
        if (const auto folder = spectacle())
            return {*folder, QCoreApplication::translate("ToolScreenshotLocation",
                                                         "from Spectacle's settings")};
        return {picturesFolder(),
                QCoreApplication::translate("ToolScreenshotLocation", "Spectacle's default")};
    }
    if (has("xfce")) {
        if (const auto folder = xfce())
            return {*folder, QCoreApplication::translate("ToolScreenshotLocation",
                                                         "from Xfce Screenshooter's settings")};
        return {picturesFolder(), QCoreApplication::translate("ToolScreenshotLocation",
                                                              "Xfce Screenshooter's default")};
    }
    // GNOME Shell's screenshot UI ignores every setting, and plays its own
    // capture sound. Flashback and Budgie call themselves GNOME too, but
    // capture with other tools.
    if (has("gnome") && !has("gnome-flashback") && !has("budgie"))
        return {gnomeShellFolder(),
                QCoreApplication::translate("ToolScreenshotLocation", "GNOME default"), true};
    if (const auto folder = flameshot())
        return {*folder,
                QCoreApplication::translate("ToolScreenshotLocation", "from Flameshot's settings")};
    if (const auto folder = gnomeScreenshot())
        return {*folder, QCoreApplication::translate("ToolScreenshotLocation",
                                                     "from gnome-screenshot's settings")};
    const QString pictures = picturesFolder();
    if (QFileInfo(pictures).isDir())
        return {pictures, QCoreApplication::translate("ToolScreenshotLocation",
                                                      "Pictures folder (no tool's setting found)")};
    return {desktopFolder(), QCoreApplication::translate("ToolScreenshotLocation",
                                                         "Desktop (no tool's setting found)")};
}

void ToolScreenshotLocation::rememberCurrent() {
    if (!m_memory || m_memory->object(kRememberedKey))
        return; // the values from before the first write are the ones to keep
    QJsonObject was;
    for (const FileKey& tool : fileKeys()) {
        if (!QFileInfo(tool.file).isFile())
            continue;
        const auto value = fileValue(tool.file, tool.section, tool.key);
        was[tool.tool] = value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
    }
    if (const auto value = runGsettings({QStringLiteral("get"), kSchema, kGsettingsKey}))
        was[QStringLiteral("gnome-screenshot")] = *value;
    m_memory->setObject(kRememberedKey, was);
}

void ToolScreenshotLocation::write(const QString& path) {
    rememberCurrent();
    const QString spectacleFile = spectacleConfig();
    if (QFileInfo(spectacleFile).isFile()) {
        const QString section = QStringLiteral("Save");
        const QString key = QStringLiteral("defaultSaveLocation");
        const auto old = fileValue(spectacleFile, section, key);
        // Spectacle keeps its folder as a URL ending in a slash.
        QString value = inFormOf(old, path, true);
        if (value.startsWith(QLatin1String("file:")) && !value.endsWith(QLatin1Char('/')))
            value += QLatin1Char('/');
        writeFileValue(spectacleFile, section, key, value);
    }
    const QString flameshotFile = flameshotConfig();
    if (QFileInfo(flameshotFile).isFile())
        writeFileValue(flameshotFile, QStringLiteral("General"), QStringLiteral("savePath"),
                       qsettingsString(path));
    const QString xfceFile = xfceConfig();
    if (QFileInfo(xfceFile).isFile()) {
        const QString key = QStringLiteral("screenshot_dir");
        writeFileValue(xfceFile, {}, key, inFormOf(fileValue(xfceFile, {}, key), path, true));
    }
    // Only when gnome-screenshot's schema is installed; gsettings fails otherwise.
    if (const auto old = runGsettings({QStringLiteral("get"), kSchema, kGsettingsKey})) {
        const QString value = inFormOf(fromGvariantString(*old), path, true);
        if (!runGsettings({QStringLiteral("set"), kSchema, kGsettingsKey, gvariantString(value)}))
            qCWarning(platformLog) << "gsettings refused the screenshot folder";
    }
}

void ToolScreenshotLocation::restore() {
    if (!m_memory)
        return;
    const auto stored = m_memory->object(kRememberedKey);
    if (!stored || !stored->isObject())
        return;
    const QJsonObject was = stored->toObject();
    for (const FileKey& tool : fileKeys()) {
        if (!was.contains(tool.tool))
            continue;
        const QJsonValue value = was.value(tool.tool);
        writeFileValue(tool.file, tool.section, tool.key,
                       value.isString() ? std::optional<QString>(value.toString()) : std::nullopt);
    }
    const QString gnome = QStringLiteral("gnome-screenshot");
    if (was.contains(gnome)) {
        const QString text = was.value(gnome).toString();
        const auto folder = fromGvariantString(text);
        // The empty default is what an unset key reads as: reset it.
        const auto done = folder && !folder->isEmpty()
                              ? runGsettings({QStringLiteral("set"), kSchema, kGsettingsKey, text})
                              : runGsettings({QStringLiteral("reset"), kSchema, kGsettingsKey});
        if (!done)
            qCWarning(platformLog) << "gsettings refused to restore the screenshot folder";
    }
    m_memory->removeObject(kRememberedKey);
}
