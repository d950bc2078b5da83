#pragma once

#include <QString>

// The name GNOME Shell gives its screenshot folder inside Pictures: the
// translation of "Screenshots" in the user's language of messages.
class GnomeScreenshotsName {
public:
    // From the installed GNOME Shell catalogue, else the known translations.
    static QString current();
    // The known translation for a locale name such as "de_DE.UTF-8"; "Screenshots" if none.
    static QString forLocale(const QString& locale);
};
