// The screenshot tools' settings files: the folder read from each, and the
// dedicated folder written and taken back, which must leave the tool's own
// setting as it was.
#include "FuzzSupport.h"
#include "platform/freedesktop/IniKeyEditor.h"
#include "platform/freedesktop/ToolScreenshotLocation.h"
#include "settings/JsonDefaultsStore.h"

#include <QDir>
#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Fuzz::ensureApp();
    // gsettings is another program: out of reach, so every input stays in process.
    static const bool noPath = qputenv("PATH", Fuzz::folder().toUtf8());
    Q_UNUSED(noPath);
    if (size < 1)
        return 0;
    const QString home = Fuzz::folder() + QStringLiteral("/config");
    QDir(home).removeRecursively();
    QDir().mkpath(home + QStringLiteral("/flameshot"));
    QDir().mkpath(home + QStringLiteral("/xfce4"));
    QFile::remove(Fuzz::folder() + QStringLiteral("/memory.json"));
    JsonDefaultsStore memory(Fuzz::folder() + QStringLiteral("/memory.json"));

    // The first byte picks the desktop and the tool whose file holds the rest.
    static const char* const desktops[] = {"KDE", "XFCE", "sway", "GNOME"};
    ToolScreenshotLocation location(home, QLatin1String(desktops[data[0] & 3]), &memory);
    struct Tool {
        QString file, section, key;
    };
    const Tool tools[] = {
        {location.spectacleConfig(), QStringLiteral("Save"), QStringLiteral("defaultSaveLocation")},
        {location.flameshotConfig(), QStringLiteral("General"), QStringLiteral("savePath")},
        {location.xfceConfig(), QString(), QStringLiteral("screenshot_dir")}};
    const Tool& tool = tools[(data[0] >> 2) % 3];
    const QByteArray before = Fuzz::bytes(data + 1, size - 1);
    Fuzz::writeFile(tool.file.mid(Fuzz::folder().size() + 1), before);

    location.resolve();
    location.write(Fuzz::folder() + QStringLiteral("/Screenshots"));
    location.restore();
    QFile after(tool.file);
    FUZZ_CHECK(after.open(QIODevice::ReadOnly));
    FUZZ_CHECK(IniKeyEditor::value(after.readAll(), tool.section, tool.key) ==
               IniKeyEditor::value(before, tool.section, tool.key));
    return 0;
}
