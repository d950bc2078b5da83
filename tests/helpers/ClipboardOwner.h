#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryFile>

#include <memory>

// Another process owning the clipboard, stopped when it goes out of scope. On
// X11: xclip for one type, or clipowner for several at once. In a Wayland
// session (WAYLAND_DISPLAY set, no DISPLAY): wlowner for both.
class ClipboardOwner {
public:
    // One type and nothing else, as a simple copy tool offers it. On Wayland
    // that is wlowner too: wl-copy adds text aliases and never says when it
    // owns the clipboard.
    static std::unique_ptr<ClipboardOwner> xclip(const QString& type, const QByteArray& bytes);
    // clipowner or wlowner with these arguments (see clipowner.cpp, wlowner.cpp;
    // wlowner knows only --hang).
    static std::unique_ptr<ClipboardOwner> offer(const QStringList& args);

    ~ClipboardOwner() { kill(); }
    bool started() const { return m_started; }
    // A line to clipowner's standard input ("quit", or the go-ahead of --wait).
    void send(const QByteArray& line) {
        m_process.write(line + '\n');
        m_process.waitForBytesWritten(5000);
    }
    // Waits until the process has printed text (kept across calls).
    bool printed(const QByteArray& text, int timeoutMs = 10000);
    bool exited(int timeoutMs = 10000);
    // Ends it as a crash would, without a word to anyone.
    void kill() {
        m_process.kill();
        m_process.waitForFinished(5000);
    }

    // Reads the clipboard as another client would (xclip -o, wl-paste); nothing
    // on failure or after timeoutMs.
    static QByteArray readBack(const QString& type, int timeoutMs = 10000);
    // The types the clipboard offers, as another client sees them (on X11 with
    // TARGETS and the owner's other meta targets); none when it is empty.
    static QStringList offeredTypes();

private:
    QProcess m_process;
    QByteArray m_output;
    std::unique_ptr<QTemporaryFile> m_bytes; // what xclip() offers, for wlowner to read
    bool m_started = false;
};
