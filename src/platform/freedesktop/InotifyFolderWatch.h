#pragma once

#include "platform/FolderWatch.h"

#include <memory>

class QSocketNotifier;

// FolderWatch on one inotify instance. The descriptor is shared with pending
// openers, so a watch opened in the background never writes to a closed or
// reused descriptor.
class InotifyFolderWatch : public FolderWatch {
    Q_OBJECT
public:
    explicit InotifyFolderWatch(QObject* parent = nullptr);
    ~InotifyFolderWatch() override;

    std::function<Handle(const QString& path)> pathOpener() const override;
    void adopt(Handle handle) override;
    void release(Handle handle) override;
    void stop() override;
    bool isWatching() const override { return m_watch >= 0; }

private:
    struct Descriptor;
    void drain();

    std::shared_ptr<Descriptor> m_fd;
    QSocketNotifier* m_notifier = nullptr;
    Handle m_watch = -1;
};
