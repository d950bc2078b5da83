#pragma once

#include <QDBusConnection>
#include <QUrl>

// Shows a file selected in the user's file manager through the freedesktop
// org.freedesktop.FileManager1 interface; where no file manager offers it,
// the containing folder is opened instead.
class FileManagerReveal {
public:
    static void reveal(const QUrl& file);

    // Asks the file manager on `bus` to show the file; false when none offers
    // the interface (running or startable on demand). Does not wait for it.
    static bool showItems(const QUrl& file, const QDBusConnection& bus);
};
