#include "platform/freedesktop/FreedesktopTrash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

bool FreedesktopTrash::moveToTrash(const QString& path) {
    // Without the data folder, Qt 6.4 "trashes" into ./files of the working
    // directory and reports success.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    QString inTrash;
    if (!QFile::moveToTrash(path, &inTrash))
        return false;
    if (QFileInfo(inTrash).isRelative()) {
        // Put the file back where the user left it rather than losing it.
        QFile::rename(inTrash, path);
        return false;
    }
    return true;
}
