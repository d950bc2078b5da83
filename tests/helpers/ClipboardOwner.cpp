#include "helpers/ClipboardOwner.h"

#include <QTest>

namespace {
const QStringList kClipboard{QStringLiteral("-selection"), QStringLiteral("clipboard"),
                             QStringLiteral("-t")};

bool wayland() {
    return qEnvironmentVariableIsSet("WAYLAND_DISPLAY") && !qEnvironmentVariableIsSet("DISPLAY");
}

// Keeps the test's event loop turning while waiting: Quillet's own offer is served by it.
bool waitFor(QProcess& process, const std::function<bool()>& done, int timeoutMs) {
    return QTest::qWaitFor(
        [&] {
            process.waitForReadyRead(20);
            return done() || process.state() != QProcess::Running;
        },
        timeoutMs);
}

// Runs a client reading the clipboard to its end: what it printed, or nothing
// when it failed or was still running after timeoutMs.
QByteArray output(const QString& program, const QStringList& args, int timeoutMs = 10000) {
    QProcess p;
    p.start(program, args);
    const bool done = waitFor(
        p, [] { return false; }, timeoutMs);
    p.kill();
    p.waitForFinished();
    return done && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0
               ? p.readAllStandardOutput()
               : QByteArray();
}
} // namespace

std::unique_ptr<ClipboardOwner> ClipboardOwner::xclip(const QString& type,
                                                      const QByteArray& bytes) {
    if (wayland()) {
        auto file = std::make_unique<QTemporaryFile>();
        if (!file->open() || file->write(bytes) != bytes.size() || !file->flush())
            return std::make_unique<ClipboardOwner>();
        auto owner = offer({type + QStringLiteral("=@") + file->fileName()});
        owner->m_bytes = std::move(file);
        return owner;
    }
    auto owner = std::make_unique<ClipboardOwner>();
    QProcess& p = owner->m_process;
    // -quiet keeps xclip in the foreground, so the test can stop it; it says on
    // stderr when it has taken the selection, once its input is read.
    p.start(QStringLiteral("xclip"), QStringList{QStringLiteral("-quiet")} + kClipboard +
                                         QStringList{type, QStringLiteral("-i")});
    p.write(bytes);
    p.closeWriteChannel();
    owner->m_started =
        waitFor(
            p, [&] { return p.readAllStandardError().contains("Waiting for selection"); }, 10000) &&
        p.state() == QProcess::Running;
    return owner;
}

std::unique_ptr<ClipboardOwner> ClipboardOwner::offer(const QStringList& args) {
    auto owner = std::make_unique<ClipboardOwner>();
    owner->m_process.start(
        wayland() ? QStringLiteral(QUILLET_WLOWNER) : QStringLiteral(QUILLET_CLIPOWNER), args);
    owner->m_started = owner->printed("owned") && owner->m_process.state() == QProcess::Running;
    return owner;
}

bool ClipboardOwner::printed(const QByteArray& text, int timeoutMs) {
    waitFor(
        m_process,
        [&] {
            m_output += m_process.readAllStandardOutput();
            return m_output.contains(text);
        },
        timeoutMs);
    return m_output.contains(text);
}

bool ClipboardOwner::exited(int timeoutMs) {
    return QTest::qWaitFor([&] { return m_process.state() == QProcess::NotRunning; }, timeoutMs);
}

QByteArray ClipboardOwner::readBack(const QString& type, int timeoutMs) {
    if (wayland())
        return output(QStringLiteral("wl-paste"),
                      {QStringLiteral("--no-newline"), QStringLiteral("-t"), type}, timeoutMs);
    return output(QStringLiteral("xclip"),
                  QStringList{QStringLiteral("-o")} + kClipboard + QStringList{type}, timeoutMs);
}

QStringList ClipboardOwner::offeredTypes() {
    const QByteArray listed =
        wayland() ? output(QStringLiteral("wl-paste"), {QStringLiteral("--list-types")})
                  : readBack(QStringLiteral("TARGETS"));
    return QString::fromUtf8(listed).split(u'\n', Qt::SkipEmptyParts);
}
