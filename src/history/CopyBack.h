#pragma once

#include "history/ClipItem.h"
#include "platform/Pasteboard.h"

#include <QObject>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

class PasteKeystroke;
class Prefs;

// Puts history items and screenshot files back on the clipboard, and pastes
// into the window the user was working in. An item's formats are read
// before the clipboard is touched: when its file is gone the clipboard
// keeps what it held, the user is told, and nothing is pasted.
// Main thread only.
class CopyBack : public QObject {
    Q_OBJECT
public:
    CopyBack(Pasteboard& pasteboard, PasteKeystroke& keystroke, Prefs& prefs,
             QObject* parent = nullptr);

    // False (and copyFailed) when nothing of the item can be read any more.
    bool copyToPasteboard(const ClipItem& item);
    // The file reference, plus the image itself for PNG files.
    void copyScreenshot(const QUrl& url);
    void copyFileOnly(const QUrl& url);

    // Presses the paste chord in the remembered window; nothing without trust.
    void pasteToFrontmostApp();
    // Synthesised input is possible (XTEST on an X11 session).
    bool isTrusted() const;
    // Called by the panel and the picker right before they show.
    void rememberFrontmostWindow();

    // A history row was chosen in the panel: copy, confirm, and when pasting
    // directly, hide the panel and paste a moment later.
    void chooseItem(const ClipItem& item, const std::function<void()>& showCopiedToast,
                    const std::function<void()>& hideWindow);
    // A clip was chosen in the quick picker: hide it, copy, and paste a
    // moment later when pasting directly. No confirmation is shown.
    void pickItem(const ClipItem& item, const std::function<void()>& hideWindow);

    // Time between hiding a window and the paste, so that focus has left it.
    static constexpr int pasteDelayMs = 150;

Q_SIGNALS:
    // A chosen item could not be put back; the message is for the user.
    void copyFailed(const QString& message);

private:
    void schedulePaste();
    void write(std::unique_ptr<QMimeData> mime);

    Pasteboard& m_pasteboard;
    PasteKeystroke& m_keystroke;
    Prefs& m_prefs;
    // A paste after a failed copy would insert whatever the clipboard held before.
    bool m_lastCopyFailed = false;
};
