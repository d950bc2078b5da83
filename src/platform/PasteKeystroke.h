#pragma once

// Sends the paste keystroke to the window the user was working in before one
// of Quillet's own windows took the keyboard.
class PasteKeystroke {
public:
    virtual ~PasteKeystroke() = default;

    // Whether synthesised input can be sent at all on this display.
    virtual bool isAvailable() const = 0;
    // Notes the window that is active now as the one to paste into later.
    // Quillet's own windows are never remembered.
    virtual void rememberActiveWindow() = 0;
    // Gives the remembered window the focus back and presses the paste chord
    // there (Ctrl+V, or Ctrl+Shift+V in terminals). Returns before the chord
    // is sent; does nothing when unavailable.
    virtual void sendPaste() = 0;
};
