#pragma once

#include <QObject>

// What the desktop tells its clipboard manager: the application that owned
// the clipboard has gone and nobody owns it now, or an application about to
// quit asks for its clipboard to be kept. The manager answers each request
// to keep with finishSave().
class ClipboardManagerRole : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~ClipboardManagerRole() override = default;

    // Takes the manager's part unless another manager already has it.
    virtual bool claim() = 0;
    virtual bool isClaimed() const = 0;
    // Some application owns the clipboard right now.
    virtual bool clipboardHasOwner() = 0;
    // Tells the application that asked whether its clipboard was kept.
    virtual void finishSave(bool saved) = 0;

Q_SIGNALS:
    void ownerGone();
    void saveRequested();
};
