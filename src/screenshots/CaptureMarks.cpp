#include "screenshots/CaptureMarks.h"

#include "platform/WriteFailures.h"
#include "screenshots/ScreenshotsLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace {
constexpr char kValue[] = "1";
}

CaptureMarks::CaptureMarks(QString listFile, WriteFailures* failures)
    : m_file(std::move(listFile))
    , m_failures(failures) {
    QFile file(m_file);
    if (!file.open(QIODevice::ReadOnly))
        return;
    // One "device inode" pair a line; anything else is skipped.
    while (!file.atEnd()) {
        const QList<QByteArray> parts = file.readLine().trimmed().split(' ');
        bool okDevice = false;
        bool okInode = false;
        if (parts.size() != 2)
            continue;
        const Key key{parts[0].toULongLong(&okDevice), parts[1].toULongLong(&okInode)};
        if (okDevice && okInode && !m_keys.contains(key)) {
            m_keys.insert(key);
            m_order.append(key);
        }
    }
}

bool CaptureMarks::hasAttribute(const QString& path) {
    char value[8];
    return ::getxattr(QFile::encodeName(path).constData(), kAttribute, value, sizeof value) >= 0;
}

bool CaptureMarks::setAttribute(const QString& path) {
    if (::setxattr(QFile::encodeName(path).constData(), kAttribute, kValue, sizeof kValue - 1, 0) ==
        0)
        return true;
    if (errno != ENOTSUP)
        qCDebug(screenshotsLog) << "cannot mark" << path << ::strerror(errno);
    return false;
}

std::optional<CaptureMarks::Key> CaptureMarks::keyOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return Key{quint64(st.st_dev), quint64(st.st_ino)};
}

bool CaptureMarks::isMarked(const QString& path) const {
    if (hasAttribute(path))
        return true;
    const auto key = keyOf(path);
    return key && m_keys.contains(*key);
}

void CaptureMarks::mark(const QString& path) {
    if (hasAttribute(path) || setAttribute(path))
        return;
    if (const auto key = keyOf(path))
        remember({*key});
}

void CaptureMarks::remember(const QList<Key>& keys) {
    bool added = false;
    for (const Key& key : keys) {
        if (m_keys.contains(key))
            continue;
        m_keys.insert(key);
        m_order.append(key);
        added = true;
    }
    if (!added)
        return;
    while (m_order.size() > kListLimit)
        m_keys.remove(m_order.takeFirst());
    save();
}

void CaptureMarks::forget(const Key& key) {
    if (!m_keys.remove(key))
        return;
    m_order.removeAll(key);
    save();
}

void CaptureMarks::save() const {
    QDir().mkpath(QFileInfo(m_file).absolutePath());
    QSaveFile file(m_file);
    if (file.open(QIODevice::WriteOnly)) {
        for (const Key& key : m_order)
            file.write(QByteArray::number(key.first) + ' ' + QByteArray::number(key.second) + '\n');
        if (file.commit())
            return;
    }
    WriteFailures::report(m_failures, screenshotsLog(), QStringLiteral("the capture marks"), m_file,
                          file.errorString());
}
