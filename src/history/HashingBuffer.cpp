#include "history/HashingBuffer.h"

namespace {
// Pieces this large keep the hashing thread busy without a hand-over per
// write (the encoder writes a few kilobytes at a time).
constexpr qsizetype kPiece = 1024 * 1024;
} // namespace

HashingBuffer::HashingBuffer(qsizetype capacity) {
    m_bytes.reserve(capacity);
    // One thread, so the pieces are hashed in the order they were written.
    m_pool.setMaxThreadCount(1);
    open(QIODevice::WriteOnly);
}

HashingBuffer::~HashingBuffer() {
    m_pool.waitForDone();
}

std::pair<QByteArray, QString> HashingBuffer::finish() {
    if (m_handed == 0) {
        // Less than a piece: hashed here, sooner than a thread would start.
        m_hash.addData(m_bytes);
    } else {
        handOver();
        m_pool.waitForDone();
    }
    return {m_bytes, QString::fromLatin1(m_hash.result().toHex())};
}

qint64 HashingBuffer::readData(char*, qint64) {
    return -1;
}

qint64 HashingBuffer::writeData(const char* data, qint64 len) {
    m_bytes.append(data, qsizetype(len));
    if (m_bytes.size() - m_handed >= kPiece)
        handOver();
    return len;
}

void HashingBuffer::handOver() {
    if (m_bytes.size() == m_handed)
        return;
    // A copy of its own: the bytes may move when they grow past what was reserved.
    QByteArray piece(m_bytes.constData() + m_handed, m_bytes.size() - m_handed);
    m_handed = m_bytes.size();
    m_pool.start([this, piece = std::move(piece)] { m_hash.addData(piece); });
}
