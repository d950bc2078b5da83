// Desktop entries (autostart, applications, thumbnailers): groups, escapes,
// lists and localized keys.
#include "FuzzSupport.h"
#include "platform/freedesktop/DesktopEntryFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto [text, locale] = Fuzz::split(Fuzz::bytes(data, size));
    const DesktopEntryFile entry = DesktopEntryFile::parse(text);
    const QString group = QStringLiteral("Desktop Entry");
    entry.hasGroup(group);
    for (const char* key : {"Name", "Exec", "Hidden", "X-GNOME-Autostart-enabled", "MimeType"}) {
        const QString k = QLatin1String(key);
        entry.string(group, k);
        entry.localeString(group, k, QString::fromUtf8(locale));
        entry.boolean(group, k);
        entry.stringList(group, k);
    }
    return 0;
}
