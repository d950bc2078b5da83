#include "history/CopyBack.h"

#include "app/Prefs.h"
#include "history/HistoryLog.h"
#include "platform/PasteKeystroke.h"
#include "platform/x11/X11PasteKeystroke.h"
#include "platform/x11/X11Pasteboard.h"

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

CopyBack& CopyBack::shared() {
    // Created on first use and kept for the life of the process.
    static auto* pasteboard = new X11Pasteboard;
    static auto* keystroke = new X11PasteKeystroke;
    static auto* instance = new CopyBack(*pasteboard, *keystroke, Prefs::shared());
    return *instance;
}

QList<PasteboardRepresentation> CopyBack::fileReference(const QUrl& url) {
    QList<PasteboardRepresentation> reps;
    const QByteArray encoded = url.toEncoded();
    reps.append({PasteboardType::fileUrl, encoded + "\r\n"});
    if (url.isLocalFile()) {
        reps.append({PasteboardType::gnomeCopiedFiles, "copy\n" + encoded});
        addText(reps, url.toLocalFile());
    } else {
        addText(reps, url.toString());
    }
    return reps;
}

void CopyBack::copyToPasteboard(const ClipItem& item) {
    m_pasteboard.clearContents();
    switch (item.kind) {
    case ClipKind::text:
    case ClipKind::rtf:
    case ClipKind::link: {
        // A link goes back as plain text only (no URL type), the same form
        // the monitor records it from, so re-copying refreshes its row.
        QList<PasteboardRepresentation> reps;
        if (item.text)
            addText(reps, *item.text);
        if (item.rtfPath) {
            if (const auto rtf = readWhole(*item.rtfPath))
                reps.append({PasteboardType::rtf, *rtf});
        }
        m_pasteboard.writeItem(reps);
        break;
    }
    case ClipKind::image: {
        if (!item.blobPath)
            break;
        const auto bytes = readWhole(*item.blobPath);
        if (!bytes) {
            qCDebug(historyLog) << "copy back: image blob unreadable" << *item.blobPath;
            break;
        }
        QList<PasteboardRepresentation> reps;
        addImage(reps, *bytes);
        m_pasteboard.writeItem(reps);
        break;
    }
    case ClipKind::file:
        // Only the first of several copied files is kept, so only it goes back.
        if (item.filePath)
            m_pasteboard.writeItem(fileReference(QUrl::fromLocalFile(*item.filePath)));
        else if (item.text) {
            QList<PasteboardRepresentation> reps;
            addText(reps, *item.text);
            m_pasteboard.writeItem(reps);
        }
        break;
    }
}

void CopyBack::copyScreenshot(const QUrl& url) {
    m_pasteboard.clearContents();
    QList<PasteboardRepresentation> reps = fileReference(url);
    if (url.isLocalFile() &&
        QFileInfo(url.toLocalFile()).suffix().toLower() == QLatin1String("png")) {
        if (const auto bytes = readWhole(url.toLocalFile()))
            addImage(reps, *bytes);
    }
    m_pasteboard.writeItem(reps);
}

void CopyBack::copyFileOnly(const QUrl& url) {
    m_pasteboard.clearContents();
    m_pasteboard.writeItem(fileReference(url));
}

bool CopyBack::isTrusted() const {
    return m_keystroke.isAvailable();
}

void CopyBack::rememberFrontmostWindow() {
    m_keystroke.rememberActiveWindow();
}

void CopyBack::pasteToFrontmostApp() {
    if (!isTrusted())
        return;
    m_keystroke.sendPaste();
}

void CopyBack::chooseItem(const ClipItem& item, const std::function<void()>& showCopiedToast,
                          const std::function<void()>& hideWindow) {
    copyToPasteboard(item);
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
    copyToPasteboard(item);
    if (m_prefs.pasteDirectly())
        schedulePaste();
}

void CopyBack::schedulePaste() {
    // Every scheduled paste runs: two quick choices paste twice.
    QTimer::singleShot(pasteDelayMs, this, &CopyBack::pasteToFrontmostApp);
}
