#include "app/DebugChannel.h"

#include "app/AppLog.h"
#include "app/DebugTarget.h"

#include <QBuffer>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPixmap>
#include <QPointer>
#include <QTextBoundaryFinder>
#include <QTimer>
#include <QWidget>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString kPath = QStringLiteral("/com/ovo/quillet");
const QString kInterface = QStringLiteral("com.ovo.quillet");
const QString kMember = QStringLiteral("debug");
// The bus name the running Quillet owns (it keeps the application single).
const QString kService = QStringLiteral("com.ovo.quillet");

bool writeAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// The command of a signal: the "cmd" entry of an a{sv} argument when it is a
// string, else a plain string argument, else nothing.
QString commandOf(const QDBusMessage& message) {
    const QList<QVariant> args = message.arguments();
    if (args.isEmpty())
        return {};
    const QVariant& first = args.constFirst();
    if (first.userType() == QMetaType::QString)
        return first.toString();
    if (first.canConvert<QDBusArgument>()) {
        const QDBusArgument arg = first.value<QDBusArgument>();
        if (arg.currentType() == QDBusArgument::MapType) {
            QVariantMap map;
            arg >> map;
            QVariant cmd = map.value(QStringLiteral("cmd"));
            if (cmd.canConvert<QDBusVariant>() && cmd.userType() == qMetaTypeId<QDBusVariant>())
                cmd = cmd.value<QDBusVariant>().variant();
            if (cmd.userType() == QMetaType::QString)
                return cmd.toString();
        }
    }
    return {};
}

// The first 80 user-perceived characters, so a cut never splits an emoji or
// a letter from its accent.
QString firstCharacters(const QString& text, int count) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int seen = 0;
    while (seen < count && finder.toNextBoundary() != -1)
        ++seen;
    return seen < count ? text : text.left(finder.position());
}
} // namespace

DebugChannel::DebugChannel(DebugTarget& target, QObject* parent)
    : QObject(parent)
    , m_target(target)
    , m_statePath(QStringLiteral("/tmp/quillet-debug-state.json")) {}

bool DebugChannel::install() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    return bus.connect(QString(), kPath, kInterface, kMember, this, SLOT(onSignal(QDBusMessage)));
}

DebugChannel::SendResult DebugChannel::send(const QString& command) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return SendResult::noBus;
    QDBusMessage signal = QDBusMessage::createSignal(kPath, kInterface, kMember);
    signal << command;
    if (!bus.send(signal))
        return SendResult::noBus;
    // A connection sends its messages in order, so once this call has been
    // answered the signal has left the process too (a caller that exits right
    // away would otherwise lose it). The answer also says whether a Quillet
    // is there to hear it.
    const QDBusReply<bool> owned = bus.interface()->isServiceRegistered(kService);
    if (!owned.isValid())
        return SendResult::noBus;
    return owned.value() ? SendResult::delivered : SendResult::noReceiver;
}

void DebugChannel::onSignal(const QDBusMessage& message) {
    dispatch(commandOf(message));
}

void DebugChannel::dispatch(const QString& command) {
    qCDebug(appLog) << "debug command" << command;
    // Whole-string commands first, so "openPanelScreens" is never taken for "openPanel".
    if (command == QLatin1String("openPanel")) {
        m_target.showPanel(QStringLiteral("clipboard"));
    } else if (command == QLatin1String("openQuick")) {
        m_target.showQuickPicker();
    } else if (command == QLatin1String("closeQuick")) {
        m_target.hideQuickPicker();
    } else if (command.startsWith(QLatin1String("snapshotQuick:"))) {
        m_target.showQuickPicker();
        pictureLater(700, &DebugTarget::quickPickerWindow, command.mid(14));
    } else if (command == QLatin1String("openPanelScreens")) {
        m_target.showPanel(QStringLiteral("screenshots"));
    } else if (command == QLatin1String("closePanel")) {
        m_target.hidePanel();
    } else if (command == QLatin1String("toggleLaunchAtLogin")) {
        m_target.toggleLaunchAtLogin();
    } else if (command.startsWith(QLatin1String("snapshot:"))) {
        m_target.showPanel(QString());
        pictureLater(700, &DebugTarget::panelWindow, command.mid(9));
    } else if (command.startsWith(QLatin1String("snapshotSettings:"))) {
        m_target.showSettings();
        pictureLater(800, &DebugTarget::settingsWindow, command.mid(17));
    } else if (command.startsWith(QLatin1String("restore:"))) {
        const QString digits = command.mid(8);
        bool ok = false;
        // Only a plain decimal number; white space or a sign-only text is not one.
        const qint64 id = digits.trimmed() == digits ? digits.toLongLong(&ok, 10) : 0;
        if (ok)
            m_target.restore(id);
    } else if (command == QLatin1String("state")) {
        writeState();
    }
}

void DebugChannel::pictureLater(int delayMs, QWidget* (DebugTarget::*window)(),
                                const QString& path) {
    QPointer<DebugChannel> self(this);
    QTimer::singleShot(delayMs, this, [self, window, path] {
        if (self)
            writePicture((self->m_target.*window)(), path);
    });
}

void DebugChannel::writeState() {
    writePrivateFileAtomically(m_statePath, stateJson(m_target.state()));
}

QByteArray DebugChannel::stateJson(const DebugState& s) {
    QJsonObject o;
    o.insert(QStringLiteral("panelVisible"), s.panelVisible);
    o.insert(QStringLiteral("tab"), s.tab);
    o.insert(QStringLiteral("quickPickerVisible"), s.quickPickerVisible);
    o.insert(QStringLiteral("screenshotDir"), s.screenshotDir);
    o.insert(QStringLiteral("screenshotCount"), double(s.screenshotCount));
    o.insert(QStringLiteral("latestScreenshot"), s.latestScreenshot);
    o.insert(QStringLiteral("clipItemCount"), double(s.clipItemCount));
    o.insert(QStringLiteral("latestClipKind"), s.latestClipKind);
    o.insert(QStringLiteral("latestClipText"), firstCharacters(s.latestClipText, 80));
    o.insert(QStringLiteral("latestClipSource"), s.latestClipSource);
    o.insert(QStringLiteral("hotkey"), s.hotkey);
    o.insert(QStringLiteral("launchAtLogin"), s.launchAtLogin);
    o.insert(QStringLiteral("smAppServiceEnabled"), s.loginItemEnabled);
    // QJsonObject keeps its keys sorted, so the document comes out sorted.
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

bool DebugChannel::writePrivateFileAtomically(const QString& path, const QByteArray& bytes,
                                              const QByteArray& replaceOnlyWhenStartingWith) {
    if (path.isEmpty())
        return false;
    const QByteArray native = QFile::encodeName(path);
    // Whatever is at the path is looked at through a descriptor: no link is
    // followed (ELOOP), and a FIFO opens at once instead of waiting for a writer.
    const int existing = ::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (existing >= 0) {
        struct stat st {};
        bool replaceable =
            ::fstat(existing, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid();
        if (replaceable && !replaceOnlyWhenStartingWith.isEmpty()) {
            QByteArray head(replaceOnlyWhenStartingWith.size(), '\0');
            replaceable = ::read(existing, head.data(), size_t(head.size())) == head.size() &&
                          head == replaceOnlyWhenStartingWith;
        }
        ::close(existing);
        if (!replaceable) {
            qCWarning(appLog) << "Not replacing" << path
                              << "- only a file of this user holding the same kind of content is";
            return false;
        }
    } else if (errno != ENOENT) {
        qCWarning(appLog) << "Not writing" << path << "-" << ::strerror(errno);
        return false;
    }
    const QFileInfo info(path);
    QByteArray tmpl = QFile::encodeName(info.absolutePath() + QStringLiteral("/.") +
                                        info.fileName() + QStringLiteral(".XXXXXX"));
    const int fd = ::mkostemp(tmpl.data(), O_CLOEXEC); // created 0600
    if (fd < 0) {
        qCWarning(appLog) << "Cannot write" << path << "-" << ::strerror(errno);
        return false;
    }
    bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
    int error = errno;
    ::close(fd);
    // rename() replaces the directory entry itself: a link planted meanwhile is
    // replaced, never followed.
    if (ok && ::rename(tmpl.constData(), native.constData()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        qCWarning(appLog) << "Cannot write" << path << "-" << ::strerror(error);
        ::unlink(tmpl.constData());
    }
    return ok;
}

bool DebugChannel::writePicture(QWidget* window, const QString& path) {
    if (!window || path.isEmpty())
        return false;
    const QPixmap picture = window->grab();
    if (picture.isNull())
        return false;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG") || png.isEmpty())
        return false;
    // A path given by mistake (a dotfile, a document) must not be turned
    // into a picture: only an earlier picture is replaced.
    static const QByteArray pngSignature("\x89PNG\r\n\x1a\n", 8);
    return writePrivateFileAtomically(path, png, pngSignature);
}
