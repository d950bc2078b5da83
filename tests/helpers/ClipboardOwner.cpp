#include "helpers/ClipboardOwner.h"

#include <QTest>

std::unique_ptr<ClipboardOwner> ClipboardOwner::xclip(const QString& type,
                                                      const QByteArray& bytes) {
    auto owner = std::make_unique<ClipboardOwner>();
    // -quiet keeps xclip in the foreground, so the test can stop it.
    owner->m_process.start(QStringLiteral("xclip"),
                           {QStringLiteral("-quiet"), QStringLiteral("-selection"),
                            QStringLiteral("clipboard"), QStringLiteral("-t"), type,
                            QStringLiteral("-i")});
    if (!owner->m_process.waitForStarted(5000))
        return owner;
    owner->m_process.write(bytes);
    owner->m_process.closeWriteChannel();
    // xclip takes the selection once its input is read; it says so on stderr with -quiet.
    owner->m_started =
        QTest::qWaitFor(
            [&] {
                owner->m_process.waitForReadyRead(50);
                return owner->m_process.readAllStandardError().contains("Waiting for selection") ||
                       owner->m_process.state() != QProcess::Running;
            },
            10000) &&
        owner->m_process.state() == QProcess::Running;
    return owner;
}

std::unique_ptr<ClipboardOwner> ClipboardOwner::offer(const QStringList& args) {
    auto owner = std::make_unique<ClipboardOwner>();
    owner->m_process.start(QStringLiteral(QUILLET_CLIPOWNER), args);
    owner->m_started = owner->printed("owned") && owner->m_process.state() == QProcess::Running;
    return owner;
}

void ClipboardOwner::send(const QByteArray& line) {
    m_process.write(line + '\n');
    m_process.waitForBytesWritten(5000);
}

bool ClipboardOwner::printed(const QByteArray& text, int timeoutMs) {
    return QTest::qWaitFor(
               [&] {
                   m_process.waitForReadyRead(20);
                   m_output += m_process.readAllStandardOutput();
                   return m_output.contains(text) || m_process.state() != QProcess::Running;
               },
               timeoutMs) &&
           m_output.contains(text);
}

bool ClipboardOwner::exited(int timeoutMs) {
    return QTest::qWaitFor([&] { return m_process.state() == QProcess::NotRunning; }, timeoutMs);
}

void ClipboardOwner::kill() {
    m_process.kill();
    m_process.waitForFinished(5000);
}

ClipboardOwner::~ClipboardOwner() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QByteArray ClipboardOwner::readBack(const QString& type) {
    QProcess p;
    p.start(QStringLiteral("xclip"), {QStringLiteral("-o"), QStringLiteral("-selection"),
                                      QStringLiteral("clipboard"), QStringLiteral("-t"), type});
    // Quillet's own offer is served by the test's event loop: keep it turning.
    if (!QTest::qWaitFor([&] { return p.state() == QProcess::NotRunning; }, 10000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return p.exitCode() == 0 ? p.readAllStandardOutput() : QByteArray();
}
