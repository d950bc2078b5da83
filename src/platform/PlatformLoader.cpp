#include "platform/PlatformLoader.h"

#include "platform/PlatformLog.h"
#include "platform/null/NullPlatform.h"
#include "platform/x11/X11Platform.h"

#include <QGuiApplication>

QString PlatformLoader::choose(const QString& requested) {
    const QString wanted = requested.trimmed().toLower();
    if (wanted == QLatin1String("null") || wanted == QLatin1String("x11"))
        return wanted;
    if (!wanted.isEmpty())
        qCWarning(platformLog) << "QUILLET_PLATFORM names no platform:" << requested
                               << "(known: x11, null); choosing one";
    if (QGuiApplication::platformName() == QLatin1String("xcb") ||
        !qEnvironmentVariableIsEmpty("DISPLAY"))
        return QStringLiteral("x11");
    return QStringLiteral("null");
}

Platform PlatformLoader::load(DefaultsStore& store, const QString& requested) {
    const QString name = choose(requested);
    Platform platform =
        name == QLatin1String("x11") ? X11Platform::create(store) : NullPlatform::create();
    if (name == QLatin1String("null") && requested.trimmed().isEmpty())
        qCWarning(platformLog) << "no X display: running on the null platform, which sees no "
                                  "clipboard and grabs no keys";
    qCInfo(platformLog) << "platform:" << platform.name;
    return platform;
}
