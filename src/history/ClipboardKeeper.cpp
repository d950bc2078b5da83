#include "history/ClipboardKeeper.h"

#include "history/ClipMime.h"
#include "history/ClipStore.h"
#include "history/ClipboardMonitor.h"
#include "history/HistoryLog.h"
#include "platform/ClipboardManagerRole.h"
#include "platform/Pasteboard.h"
#include "settings/Prefs.h"

#include <QTimer>

#include <algorithm>

ClipboardKeeper::ClipboardKeeper(ClipboardManagerRole& role, ClipboardMonitor& monitor,
                                 ClipStore& store, Pasteboard& pasteboard, Prefs& prefs,
                                 QObject* parent)
    : QObject(parent)
    , m_role(role)
    , m_monitor(monitor)
    , m_store(store)
    , m_pasteboard(pasteboard)
    , m_prefs(prefs) {
    connect(&m_role, &ClipboardManagerRole::ownerGone, this, &ClipboardKeeper::ownerGone);
    connect(&m_role, &ClipboardManagerRole::saveRequested, this, &ClipboardKeeper::saveRequested);
    connect(&m_monitor, &ClipboardMonitor::changeHandled, this, [this] {
        if (m_saveWaiting && monitorIsDone() &&
            (!m_doneAtRequest || m_pasteboard.changeCount() > m_saveRequestChange))
            answerSave();
    });
}

bool ClipboardKeeper::monitorIsDone() const {
    return m_monitor.isIdle() && m_monitor.lastChange() == m_pasteboard.changeCount();
}

bool ClipboardKeeper::lastOfferIsKept() const {
    return m_prefs.clipboardEnabled() && m_monitor.lastOfferRecorded() &&
           !m_store.items().isEmpty();
}

void ClipboardKeeper::saveRequested() {
    if (m_saveWaiting)
        return;
    m_saveWaiting = true;
    // The quitting application's offer may not even have been seen yet; it
    // keeps serving while it waits, so the monitor can still read it. The
    // request and the owner change it follows come over two X connections
    // with no order between them: when everything looks dealt with, the
    // change may still be on its way, so it is given a moment to show.
    m_saveRequestChange = m_pasteboard.changeCount();
    m_doneAtRequest = monitorIsDone();
    if (m_doneAtRequest) {
        QTimer::singleShot(kChangeGraceMs, this, [this] {
            if (m_saveWaiting && monitorIsDone())
                answerSave();
        });
    }
    QTimer::singleShot(kSaveAnswerMs, this, [this] {
        if (m_saveWaiting)
            answerSave();
    });
}

void ClipboardKeeper::answerSave() {
    m_saveWaiting = false;
    m_role.finishSave(lastOfferIsKept());
}

void ClipboardKeeper::ownerGone() {
    if (!lastOfferIsKept() || m_role.clipboardHasOwner())
        return;
    const ClipItemList& items = m_store.items();
    // Pinned items come first in the list; the newest copy is the latest time.
    const ClipItem& newest =
        *std::max_element(items.begin(), items.end(), [](const ClipItem& a, const ClipItem& b) {
            return a.createdAt < b.createdAt;
        });
    auto mime = ClipMime::forItem(newest);
    if (!mime) {
        qCWarning(historyLog) << "clipboard owner gone; the newest item cannot be offered";
        return;
    }
    qCDebug(historyLog) << "clipboard owner gone; offering item" << newest.id;
    m_pasteboard.setMimeData(std::move(mime));
    Q_EMIT restored(newest.id);
}
