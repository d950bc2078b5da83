#pragma once

#include <QProcess>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

// A folder that refuses writes, as a read-only disk or another user's folder
// does: nothing in it writable until the end of the scope.
class ReadOnlyTree {
public:
    explicit ReadOnlyTree(const QString& root)
        : m_root(root) {
        obeyFileModes();
        QProcess::execute(QStringLiteral("chmod"),
                          {QStringLiteral("-R"), QStringLiteral("a-w"), m_root});
    }
    ~ReadOnlyTree() {
        QProcess::execute(QStringLiteral("chmod"),
                          {QStringLiteral("-R"), QStringLiteral("u+w"), m_root});
    }

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
    QString m_root;
};
