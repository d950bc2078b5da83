#pragma once

#include "platform/PasteKeystroke.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <memory>

class WaylandConnection;
class WaylandFrontmostApp;
struct wl_proxy;

// Paste keystroke on a Wayland compositor that lets clients act as a keyboard
// (the virtual-keyboard protocol of wlroots compositors). No client may give
// another the focus here, so a paste waits until the compositor has handed
// the keyboard back to the remembered window by itself, once Quillet's window
// has gone, and is dropped when that does not happen soon: keys must never
// land in Quillet's own windows or in an application the user did not choose.
class WaylandPasteKeystroke : public QObject, public PasteKeystroke {
    Q_OBJECT
public:
    // How long a paste waits for its window to become active again.
    static constexpr int kWaitLimitMs = 1000;

    // Binds on `connection` before its event thread starts; `frontmost` tells
    // which window is active. Both must outlive it.
    WaylandPasteKeystroke(WaylandConnection& connection, WaylandFrontmostApp& frontmost,
                          QObject* parent = nullptr);
    ~WaylandPasteKeystroke() override;

    bool isAvailable() const override;
    void rememberActiveWindow() override;
    void sendPaste() override;

    // A paste waits for its window to come back.
    bool isWaiting() const { return m_poll.isActive(); }

private:
    struct Keyboard;

    bool tryPaste();
    void pollTarget();
    // Event thread only.
    bool ensureKeyboard();
    void pressChord(int chords, bool terminal);

    WaylandConnection& m_connection;
    WaylandFrontmostApp& m_frontmost;
    wl_proxy* m_seat = nullptr;
    wl_proxy* m_manager = nullptr;
    std::unique_ptr<Keyboard> m_keyboard; // event thread only
    std::atomic<bool> m_keyboardFailed{false};

    uint64_t m_target = 0;
    QString m_targetAppId;
    int m_pendingChords = 0;
    QDeadlineTimer m_deadline;
    QTimer m_poll;
};
