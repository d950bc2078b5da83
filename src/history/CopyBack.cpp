#include "history/CopyBack.h"

#include "history/HistoryLog.h"
#include "platform/PasteKeystroke.h"
#include "settings/Prefs.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTimer>

#include <optional>

namespace {
std::optional<QByteArray> readWhole(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

void addText(QList<PasteboardRepresentation>& reps, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    reps.append({PasteboardType::string, utf8});
    reps.append({PasteboardType::plainText, utf8});
}

// The PNG unchanged, and TIFF for readers that take no PNG, when it decodes.
void addImage(QList<PasteboardRepresentation>& reps, const QByteArray& png) {
    reps.append({PasteboardType::png, png});
    const QImage image = QImage::fromData(png);
    if (image.isNull())
        return;
    QByteArray tiff;
    QBuffer buffer(&tiff);
    if (buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "TIFF"))
        reps.append({PasteboardType::tiff, tiff});
}
} // namespace

CopyBack::CopyBack(Pasteboard& pasteboard, PasteKeystroke& keystroke, Prefs& prefs, QObject* parent)
    : QObject(parent)
    , m_pasteboard(pasteboard)
    , m_keystroke(keystroke)
    , m_prefs(prefs) {}

QList<PasteboardRepresentation> CopyBack::fileReference(const QUrl& url) {
    if (url.isLocalFile())
        return fileReferences({url});
    QList<PasteboardRepresentation> reps;
    reps.append({PasteboardType::fileUrl, url.toEncoded() + "\r\n"});
    addText(reps, url.toString());
    return reps;
}

QList<PasteboardRepresentation> CopyBack::fileReferences(const QList<QUrl>& urls) {
    QByteArray uriList;
    QByteArray gnome = "copy";
    QStringList paths;
    for (const QUrl& url : urls) {
        const QByteArray encoded = url.toEncoded();
        uriList += encoded + "\r\n";
        gnome += '\n' + encoded;
        paths.append(url.toLocalFile());
    }
    QList<PasteboardRepresentation> reps;
    reps.append({PasteboardType::fileUrl, uriList});
    reps.append({PasteboardType::gnomeCopiedFiles, gnome});
    addText(reps, paths.join(u'\n'));
    return reps;
}

std::optional<QList<PasteboardRepresentation>> CopyBack::representations(const ClipItem& item) {
    QList<PasteboardRepresentation> reps;
    switch (item.kind) {
    case ClipKind::text:
    case ClipKind::rtf:
    case ClipKind::link:
        // A link goes back as plain text only (no URL type), the same form
        // the monitor records it from, so re-copying refreshes its row.
        if (item.text)
            addText(reps, *item.text);
        if (item.rtfPath) {
            if (const auto rtf = readWhole(*item.rtfPath))
                reps.append({PasteboardType::rtf, *rtf});
        }
        break;
    case ClipKind::image:
        if (item.blobPath) {
            if (const auto bytes = readWhole(*item.blobPath))
                addImage(reps, *bytes);
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
                reps = fileReferences(urls);
        } else if (item.text) {
            addText(reps, *item.text);
        }
        break;
    }
    if (reps.isEmpty())
        return std::nullopt;
    return reps;
}

bool CopyBack::copyToPasteboard(const ClipItem& item) {
    const auto reps = representations(item);
    if (!reps) {
        qCWarning(historyLog) << "copy back: nothing left to copy of item" << item.id;
        m_lastCopyFailed = true;
        Q_EMIT copyFailed(copyFailedMessage);
        return false;
    }
    write(*reps);
    return true;
}

void CopyBack::write(const QList<PasteboardRepresentation>& reps) {
    m_lastCopyFailed = false;
    m_pasteboard.clearContents();
    m_pasteboard.writeItem(reps);
}

void CopyBack::copyScreenshot(const QUrl& url) {
    QList<PasteboardRepresentation> reps = fileReference(url);
    if (url.isLocalFile() &&
        QFileInfo(url.toLocalFile()).suffix().toLower() == QLatin1String("png")) {
        if (const auto bytes = readWhole(url.toLocalFile()))
            addImage(reps, *bytes);
    }
    write(reps);
}

void CopyBack::copyFileOnly(const QUrl& url) {
    write(fileReference(url));
}

bool CopyBack::isTrusted() const {
    return m_keystroke.isAvailable();
}

void CopyBack::rememberFrontmostWindow() {
    m_keystroke.rememberActiveWindow();
}

void CopyBack::pasteToFrontmostApp() {
    if (!isTrusted() || m_lastCopyFailed)
        return;
    m_keystroke.sendPaste();
}

void CopyBack::chooseItem(const ClipItem& item, const std::function<void()>& showCopiedToast,
                          const std::function<void()>& hideWindow) {
    if (!copyToPasteboard(item))
        return;
    if (showCopiedToast)
        showCopiedToast();
    if (!m_prefs.pasteDirectly())
        return;
    if (hideWindow)
        hideWindow();
    schedulePaste();
}

void CopyBack::pickItem(const ClipItem& item, const std::function<void()>& hideWindow) {
    if (hideWindow)
        hideWindow();
    if (copyToPasteboard(item) && m_prefs.pasteDirectly())
        schedulePaste();
}

void CopyBack::schedulePaste() {
    // Every scheduled paste runs: two quick choices paste twice.
    QTimer::singleShot(pasteDelayMs, this, &CopyBack::pasteToFrontmostApp);
}
