#include "platform/freedesktop/FreedesktopTrash.h"

#include "platform/PlatformLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

bool FreedesktopTrash::moveToTrash(const QString& path) {
    // Without the data folder, Qt 6.4 "trashes" into ./files of the working
    // directory and reports success.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    QFile file(path);
    if (!file.moveToTrash()) {
        qCWarning(platformLog) << "cannot move" << path << "to the Trash:" << file.errorString();
        return false;
    }
    const QString inTrash = file.fileName();
    if (QFileInfo(inTrash).isRelative()) {
        // Put the file back where the user left it rather than losing it.
        if (QFile::rename(inTrash, path))
            qCWarning(platformLog) << "no Trash folder could be made for" << path;
        else
            qCWarning(platformLog)
                << "the Trash put" << path << "at" << QFileInfo(inTrash).absoluteFilePath();
        return false;
    }
    return true;
}
