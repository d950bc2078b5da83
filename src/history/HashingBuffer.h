#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QIODevice>
#include <QString>
#include <QThreadPool>

#include <utility>

// A write-only device that keeps what is written and hashes it (SHA-256) on
// a thread of its own as it comes, so that hashing a large encoded picture
// runs alongside encoding it instead of after it.
class HashingBuffer : public QIODevice {
public:
    // `capacity`: what the bytes are expected to come to, reserved up front.
    explicit HashingBuffer(qsizetype capacity);
    ~HashingBuffer() override;

    // Waits until everything written is hashed; the bytes and their hash, hex.
    std::pair<QByteArray, QString> finish();

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 len) override;

private:
    void handOver();

    QByteArray m_bytes;
    qsizetype m_handed = 0;
    // Touched only by the pool's one thread until finish() has waited for it.
    QCryptographicHash m_hash{QCryptographicHash::Sha256};
    QThreadPool m_pool;
};
