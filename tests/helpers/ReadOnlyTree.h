#pragma once

#include <QDirIterator>
#include <QFile>

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

// A folder that refuses writes, as a read-only disk or another user's folder
// does: everything in it mode 0500 (folders) or 0400 (files) until the end of
// the scope.
class ReadOnlyTree {
public:
    explicit ReadOnlyTree(const QString& root)
        : m_root(root) {
        obeyFileModes();
        setModes(0500, 0400);
    }
    ~ReadOnlyTree() { setModes(0700, 0600); }

    // Tests run as root, which reads and writes through any mode: the process
    // gives up the capabilities that override modes, in the permitted set too
    // (access() asks that one). Threads started afterwards inherit it; the
    // test's files stay its own, so it can still give their modes back.
    static void obeyFileModes() {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2]{};
        ::syscall(SYS_capget, &header, data);
        for (const int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}) {
            data[cap / 32].effective &= ~(1u << (cap % 32));
            data[cap / 32].permitted &= ~(1u << (cap % 32));
        }
        ::syscall(SYS_capset, &header, data);
    }

private:
    // Files before folders, the deepest folders first.
    void setModes(mode_t folder, mode_t file) const {
        QStringList folders{m_root};
        QDirIterator it(m_root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (it.fileInfo().isSymLink())
                continue;
            if (it.fileInfo().isDir())
                folders.prepend(path);
            else
                ::chmod(QFile::encodeName(path).constData(), file);
        }
        for (const QString& path : std::as_const(folders))
            ::chmod(QFile::encodeName(path).constData(), folder);
    }

    QString m_root;
};
