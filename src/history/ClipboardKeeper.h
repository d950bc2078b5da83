#pragma once

#include <QObject>

class ClipboardManagerRole;
class ClipboardMonitor;
class ClipStore;
class Pasteboard;
class Prefs;

// Keeps the clipboard alive when the application that copied goes away, as
// a Linux clipboard manager does: once nobody owns the clipboard, Quillet
// offers the newest history item again in all its representations; and an
// application about to quit that asks for its clipboard to be kept is told
// so once the monitor has recorded it. Only for content the history
// recorded: never for concealed, transient or excluded offers, never while
// history is off, and never over a live owner. Main thread only.
class ClipboardKeeper : public QObject {
    Q_OBJECT
public:
    // How long an application that asked is kept waiting at most (they
    // themselves give up after a few seconds).
    static constexpr int kSaveAnswerMs = 3000;
    // How long a request is held for the owner change it may have overtaken.
    static constexpr int kChangeGraceMs = 500;

    ClipboardKeeper(ClipboardManagerRole& role, ClipboardMonitor& monitor, ClipStore& store,
                    Pasteboard& pasteboard, Prefs& prefs, QObject* parent = nullptr);

Q_SIGNALS:
    // Quillet took the clipboard with this history item.
    void restored(qint64 itemId);

private:
    void ownerGone();
    void saveRequested();
    void answerSave();
    bool lastOfferIsKept() const;
    // Every change so far has been dealt with.
    bool monitorIsDone() const;

    ClipboardManagerRole& m_role;
    ClipboardMonitor& m_monitor;
    ClipStore& m_store;
    Pasteboard& m_pasteboard;
    Prefs& m_prefs;
    bool m_saveWaiting = false;
    // The change count when the request came, and whether every change up to
    // it had been dealt with then.
    qint64 m_saveRequestChange = 0;
    bool m_doneAtRequest = false;
};
