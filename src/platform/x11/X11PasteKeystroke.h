#pragma once

#include "platform/PasteKeystroke.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <memory>

class X11Connection;
struct xcb_connection_t;

// Paste keystroke on an X11 display: the XTEST extension presses the keys,
// _NET_ACTIVE_WINDOW finds and restores the target window. Works on Quillet's
// own X connection, not Qt's, so it can read the property-change events that
// carry server time stamps without taking events away from Qt.
class X11PasteKeystroke : public QObject, public PasteKeystroke {
    Q_OBJECT
public:
    // Works on `display`, which must outlive it; unavailable when the session
    // is not X11 or the display lacks XTEST.
    explicit X11PasteKeystroke(X11Connection& display, QObject* parent = nullptr);
    // The same on a connection of its own to $DISPLAY.
    explicit X11PasteKeystroke(QObject* parent = nullptr);
    ~X11PasteKeystroke() override;

    bool isAvailable() const override;
    void rememberActiveWindow() override;
    void sendPaste() override;

    // The window a later paste goes to (0 when none was active).
    uint32_t rememberedWindow() const { return m_target; }

private:
    uint32_t activeWindow() const;
    bool hasFocus(uint32_t window) const;
    bool isOwnWindow(uint32_t window) const;
    bool isTerminalWindow(uint32_t window) const;
    void setUp();
    xcb_connection_t* conn() const;
    void requestActivation(uint32_t window);
    void pollActivation();
    void pressChord();

    std::unique_ptr<X11Connection> m_ownDisplay;
    X11Connection* m_display = nullptr;
    uint32_t m_timeWindow = 0;
    int32_t m_keyboardDevice = -1;
    bool m_available = false;
    uint32_t m_target = 0;
    int m_pendingChords = 0;
    int m_pollsLeft = 0;
    QTimer m_poll;
};
