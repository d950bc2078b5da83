#pragma once

// The service that starts Quillet when the user logs in.
class LoginItem {
public:
    // Same numbering as the status the preferences reason about.
    enum class Status { NotRegistered = 0, Enabled = 1, RequiresApproval = 2, NotFound = 3 };

    virtual ~LoginItem() = default;
    virtual Status status() const = 0;
    // Both return false when the system refused the change.
    virtual bool registerItem() = 0;
    virtual bool unregisterItem() = 0;
    // Points an existing registration at this program, where it names
    // another (Quillet installed, moved, or run from a build instead).
    virtual void followExecutable() {}
};
