#include "platform/freedesktop/ToolScreenshotLocation.h"

#include "platform/PlatformLog.h"
#include "platform/freedesktop/IniKeyEditor.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

#include <libintl.h>

namespace {
const QString kSchema = QStringLiteral("org.gnome.gnome-screenshot");
const QString kGsettingsKey = QStringLiteral("auto-save-directory");
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
    if (!QFileInfo(file).isFile() || !f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return IniKeyEditor::value(f.readAll(), section, key);
}

void writeFileValue(const QString& file, const QString& section, const QString& key,
                    const QString& value) {
    QFile in(file);
    if (!QFileInfo(file).isFile() || !in.open(QIODevice::ReadOnly))
        return;
    const QByteArray before = in.readAll();
    in.close();
    QSaveFile out(file);
    // QSaveFile replaces the file; keep the user's permissions on it.
    const QFileDevice::Permissions permissions = QFileInfo(file).permissions();
    if (!out.open(QIODevice::WriteOnly))
        return;
    out.write(IniKeyEditor::withValue(before, section, key, value));
    if (out.commit())
        QFile::setPermissions(file, permissions);
}

std::optional<QString> runGsettings(const QStringList& arguments) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("gsettings"));
    if (program.isEmpty())
        return std::nullopt;
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(kGsettingsTimeoutMs)) {
        process.kill();
        process.waitForFinished(500);
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
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

ToolScreenshotLocation::ToolScreenshotLocation(QString configHome, QString currentDesktop)
    : m_configHome(configHome.isEmpty()
                       ? QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                       : std::move(configHome))
    , m_currentDesktop(currentDesktop.isEmpty() ? qEnvironmentVariable("XDG_CURRENT_DESKTOP")
                                                : std::move(currentDesktop)) {}

QString ToolScreenshotLocation::spectacleConfig() const {
    return m_configHome + QStringLiteral("/spectaclerc");
}

QString ToolScreenshotLocation::flameshotConfig() const {
    return m_configHome + QStringLiteral("/flameshot/flameshot.ini");
}

QString ToolScreenshotLocation::xfceConfig() const {
    return m_configHome + QStringLiteral("/xfce4/xfce4-screenshooter");
}

QString ToolScreenshotLocation::gnomeShellFolder() {
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    const QString name = QString::fromUtf8(::dgettext("gnome-shell", "Screenshots"));
    return pictures + QLatin1Char('/') + name;
}

QString ToolScreenshotLocation::desktopFolder() {
    return QDir::homePath() + QStringLiteral("/Desktop");
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
    const auto out = runGsettings({QStringLiteral("get"), kSchema, kGsettingsKey});
    if (!out)
        return std::nullopt;
    const auto v = fromGvariantString(*out);
    return v ? toLocalFolder(*v) : std::nullopt;
}

QString ToolScreenshotLocation::read() const {
    const QStringList desktops = m_currentDesktop.toLower().split(QLatin1Char(':'));
    std::optional<QString> found;
    if (desktops.contains(QLatin1String("kde"))) {
        found = spectacle();
    } else if (desktops.contains(QLatin1String("xfce"))) {
        found = xfce();
    } else {
        found = flameshot();
        if (!found)
            found = gnomeScreenshot();
    }
    if (found)
        return *found;
    const QString gnome = gnomeShellFolder();
    return QFileInfo(gnome).isDir() ? gnome : desktopFolder();
}

void ToolScreenshotLocation::write(const QString& path) {
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
            qCDebug(platformLog) << "gsettings refused the screenshot folder";
    }
}
