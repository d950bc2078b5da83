#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

// Reports changes to the entries of one folder (created, written, moved in or
// out, deleted). Opening the watch may touch a slow file system, so it is
// split: opener() returns a task that may run on any thread, and adopt()
// installs its result on the owning thread.
class FolderWatch : public QObject {
    Q_OBJECT
public:
    using Handle = int; // negative: the folder could not be watched

    explicit FolderWatch(QObject* parent = nullptr)
        : QObject(parent) {}

    // The Linux implementation.
    static std::unique_ptr<FolderWatch> create();

    // A task that opens a watch on path; safe to run after this object is gone.
    std::function<Handle()> opener(const QString& path) const {
        return [open = pathOpener(), path] {
            return open(path);
        };
    }
    // The same for any path, for callers that choose the folder on the way.
    // A folder that does not exist fails with errno ENOENT or ENOTDIR.
    virtual std::function<Handle(const QString& path)> pathOpener() const = 0;
    // Takes over a handle from opener(); changed() fires for it from now on.
    virtual void adopt(Handle handle) = 0;
    // Gives up a handle that was opened but is not wanted.
    virtual void release(Handle handle) = 0;
    // Stops reporting for the adopted handle, if any. A watched folder that is
    // deleted or moved away stops the watch by itself, after one changed().
    virtual void stop() = 0;
    virtual bool isWatching() const = 0;

Q_SIGNALS:
    void changed();
};
