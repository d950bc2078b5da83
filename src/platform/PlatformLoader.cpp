#include "platform/PlatformLoader.h"

#include "platform/PlatformLog.h"
#include "platform/null/NullPlatform.h"
#include "platform/wayland/WaylandPlatform.h"
#include "platform/x11/X11Platform.h"

#include <QGuiApplication>

QString PlatformLoader::choose(const QString& requested) {
    const QString wanted = requested.trimmed().toLower();
    if (wanted == QLatin1String("null") || wanted == QLatin1String("x11") ||
        wanted == QLatin1String("wayland"))
        return wanted;
    if (!wanted.isEmpty())
        qCWarning(platformLog) << "QUILLET_PLATFORM names no platform:" << requested
                               << "(known: wayland, x11, null); choosing one";
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return QStringLiteral("wayland");
    if (QGuiApplication::platformName() == QLatin1String("xcb") ||
        !qEnvironmentVariableIsEmpty("DISPLAY"))
        return QStringLiteral("x11");
    return QStringLiteral("null");
}

Platform PlatformLoader::load(DefaultsStore& store, const QString& requested) {
    const QString name = choose(requested);
    std::optional<Platform> wayland;
    if (name == QLatin1String("wayland")) {
        wayland = WaylandPlatform::create(store);
        if (!wayland)
            qCWarning(platformLog) << "the Wayland platform cannot run here: running on the null "
                                      "platform, which sees no clipboard (start Quillet on "
                                      "XWayland with QT_QPA_PLATFORM=xcb)";
    }
    Platform platform = wayland                        ? std::move(*wayland)
                        : name == QLatin1String("x11") ? X11Platform::create(store)
                                                       : NullPlatform::create();
    if (name == QLatin1String("null") && requested.trimmed().isEmpty())
        qCWarning(platformLog) << "no X display: running on the null platform, which sees no "
                                  "clipboard and grabs no keys";
    qCInfo(platformLog) << "platform:" << platform.name;
    return platform;
}
