#include "history/ClipMime.h"

#include "platform/Pasteboard.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <optional>

namespace {
// Side files are Quillet's own; a screenshot may be anything, so a huge one
// is offered by reference only.
constexpr qint64 kMaxInlineImageBytes = 64 * 1024 * 1024;

std::optional<QByteArray> readWhole(const QString& path, qint64 maxBytes = Pasteboard::kNoLimit) {
    QFile file(path);
    if (file.size() > maxBytes || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

void addText(QMimeData& mime, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    mime.setData(PasteboardType::string, utf8);
    mime.setData(PasteboardType::plainText, utf8);
}

// The PNG unchanged, and TIFF for readers that take no PNG, when it decodes.
void addImage(QMimeData& mime, const QByteArray& png) {
    mime.setData(PasteboardType::png, png);
    const QImage image = QImage::fromData(png);
    if (image.isNull())
        return;
    QByteArray tiff;
    QBuffer buffer(&tiff);
    if (buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "TIFF"))
        mime.setData(PasteboardType::tiff, tiff);
}

std::unique_ptr<QMimeData> nonEmpty(std::unique_ptr<QMimeData> mime) {
    return mime->formats().isEmpty() ? nullptr : std::move(mime);
}
} // namespace

namespace ClipMime {

std::unique_ptr<QMimeData> forFiles(const QList<QUrl>& urls) {
    QByteArray uriList;
    QByteArray gnome = "copy";
    QStringList paths;
    for (const QUrl& url : urls) {
        const QByteArray encoded = url.toEncoded();
        uriList += encoded + "\r\n";
        gnome += '\n' + encoded;
        paths.append(url.toLocalFile());
    }
    auto mime = std::make_unique<QMimeData>();
    mime->setData(PasteboardType::fileUrl, uriList);
    mime->setData(PasteboardType::gnomeCopiedFiles, gnome);
    addText(*mime, paths.join(u'\n'));
    return mime;
}

std::unique_ptr<QMimeData> forUrl(const QUrl& url) {
    if (url.isLocalFile())
        return forFiles({url});
    auto mime = std::make_unique<QMimeData>();
    mime->setData(PasteboardType::fileUrl, url.toEncoded() + "\r\n");
    addText(*mime, url.toString());
    return mime;
}

std::unique_ptr<QMimeData> forScreenshot(const QUrl& url) {
    auto mime = forUrl(url);
    if (url.isLocalFile() &&
        QFileInfo(url.toLocalFile()).suffix().toLower() == QLatin1String("png")) {
        if (const auto bytes = readWhole(url.toLocalFile(), kMaxInlineImageBytes))
            addImage(*mime, *bytes);
    }
    return mime;
}

std::unique_ptr<QMimeData> forItem(const ClipItem& item) {
    auto mime = std::make_unique<QMimeData>();
    switch (item.kind) {
    case ClipKind::text:
    case ClipKind::rtf:
    case ClipKind::link:
        // A link goes back as plain text only (no URL type), the same form
        // the monitor records it from, so re-copying refreshes its row.
        if (item.text)
            addText(*mime, *item.text);
        if (item.rtfPath) {
            if (const auto rtf = readWhole(*item.rtfPath))
                mime->setData(PasteboardType::rtf, *rtf);
        }
        break;
    case ClipKind::image:
        if (item.blobPath) {
            if (const auto bytes = readWhole(*item.blobPath))
                addImage(*mime, *bytes);
        }
        break;
    case ClipKind::file:
        if (item.filePath) {
            // The text holds every copied path, one per line, the first being
            // filePath; all of them go back, so the monitor finds the same row.
            const QStringList paths = item.text && item.text->startsWith(*item.filePath)
                                          ? item.text->split(u'\n')
                                          : QStringList{*item.filePath};
            QList<QUrl> urls;
            for (const QString& path : paths) {
                if (QFileInfo::exists(path))
                    urls.append(QUrl::fromLocalFile(path));
            }
            if (!urls.isEmpty())
                return forFiles(urls);
        } else if (item.text) {
            addText(*mime, *item.text);
        }
        break;
    }
    return nonEmpty(std::move(mime));
}

} // namespace ClipMime
