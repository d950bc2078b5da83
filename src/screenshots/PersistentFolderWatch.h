#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

#include <memory>

class FolderWatch;

// Watches one folder by its path, also while it does not exist: then the
// nearest existing folder above it is watched, and the watch moves onto the
// folder as soon as it is made or moved into place. GNOME Shell, for one,
// makes its screenshot folder only with the first capture, and makes it again
// at the next capture after the user deleted it.
class PersistentFolderWatch : public QObject {
    Q_OBJECT
public:
    explicit PersistentFolderWatch(std::unique_ptr<FolderWatch> watch, QObject* parent = nullptr);
    ~PersistentFolderWatch() override;

    // Follows path from now on (opening happens in the background); empty stops.
    void watch(const QString& path);
    QString path() const { return m_path; }
    // The folder itself is watched.
    bool isWatching() const;
    // Something is watched, the folder or one above it; false only when no
    // watch could be opened at all.
    bool isActive() const;
    // When the folder was last found missing since watch() (which looks at
    // once); invalid while it has existed throughout.
    QDateTime missingSince() const { return m_missingSince; }

Q_SIGNALS:
    // The folder's entries changed, or the folder vanished or appeared.
    void changed();

private:
    void open(const QDateTime& missingFrom);
    void adopt(int handle, const QString& target, const QDateTime& missingFrom);
    void onWatchChanged();
    bool nextStepExists() const;

    std::unique_ptr<FolderWatch> m_watch;
    QString m_path;
    QString m_target; // m_path, or the folder above it that exists
    quint64 m_generation = 0;
    QDateTime m_missingSince;
    bool m_failureReported = false;
};
