#include "history/CopyBack.h"

#include "history/ClipMime.h"
#include "history/HistoryLog.h"
#include "platform/PasteKeystroke.h"
#include "settings/Prefs.h"

#include <QTimer>

CopyBack::CopyBack(Pasteboard& pasteboard, PasteKeystroke& keystroke, Prefs& prefs, QObject* parent)
    : QObject(parent)
    , m_pasteboard(pasteboard)
    , m_keystroke(keystroke)
    , m_prefs(prefs) {}

bool CopyBack::copyToPasteboard(const ClipItem& item) {
    auto mime = ClipMime::forItem(item);
    if (!mime) {
        qCWarning(historyLog) << "copy back: nothing left to copy of item" << item.id;
        m_lastCopyFailed = true;
        Q_EMIT copyFailed(tr("Couldn't copy: the file is gone"));
        return false;
    }
    write(std::move(mime));
    return true;
}

void CopyBack::write(std::unique_ptr<QMimeData> mime) {
    m_lastCopyFailed = false;
    m_pasteboard.setMimeData(std::move(mime));
}

void CopyBack::copyScreenshot(const QUrl& url) {
    write(ClipMime::forScreenshot(url));
}

void CopyBack::copyFileOnly(const QUrl& url) {
    write(ClipMime::forUrl(url));
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
