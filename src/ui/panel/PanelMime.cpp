#include "ui/panel/PanelMime.h"

#include <QDrag>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QStringList>
#include <QWidget>

namespace {
bool s_dragRunning = false;
}

namespace PanelMime {

QMimeData* forFiles(const QList<QUrl>& files, bool withPngImage) {
    auto* mime = new QMimeData;
    mime->setUrls(files);
    QStringList lines{QStringLiteral("copy")};
    for (const QUrl& url : files)
        lines << QString::fromUtf8(url.toEncoded());
    mime->setData(QStringLiteral("x-special/gnome-copied-files"), lines.join(u'\n').toUtf8());
    if (withPngImage && files.size() == 1 &&
        files.constFirst().toLocalFile().endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) {
        QFile f(files.constFirst().toLocalFile());
        if (f.size() < 64 * 1024 * 1024 && f.open(QIODevice::ReadOnly))
            mime->setData(QStringLiteral("image/png"), f.readAll());
    }
    return mime;
}

QMimeData* forClip(const ClipItem& item) {
    for (const auto* path : {&item.filePath, &item.blobPath}) {
        if (path->has_value() && QFileInfo::exists(**path))
            return forFiles({QUrl::fromLocalFile(**path)}, false);
    }
    auto* mime = new QMimeData;
    mime->setText(item.text.value_or(QString()));
    return mime;
}

} // namespace PanelMime

void DragOut::run(QWidget* source, QMimeData* mime) {
    auto* drag = new QDrag(source);
    drag->setMimeData(mime);
    s_dragRunning = true;
    drag->exec(Qt::CopyAction, Qt::CopyAction);
    s_dragRunning = false;
}

bool DragOut::isRunning() {
    return s_dragRunning;
}
