#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>

// Another process owning the X11 clipboard for a test: xclip for one type, or
// the clipowner helper for several at once. Stopped when it goes out of scope.
class ClipboardOwner {
public:
    // xclip offering bytes as one type.
    static std::unique_ptr<ClipboardOwner> xclip(const QString& type, const QByteArray& bytes);
    // clipowner offering TYPE=VALUE arguments (see clipowner.cpp).
    static std::unique_ptr<ClipboardOwner> offer(const QStringList& args);

    ~ClipboardOwner() { kill(); }
    // True once the process has taken the clipboard.
    bool started() const { return m_started; }
    // A line to clipowner's standard input ("quit", or the go-ahead of --wait).
    void send(const QByteArray& line) {
        m_process.write(line + '\n');
        m_process.waitForBytesWritten(5000);
    }
    // Waits until the process has printed text (kept across calls).
    bool printed(const QByteArray& text, int timeoutMs = 10000);
    // Waits until the process has ended by itself.
    bool exited(int timeoutMs = 10000);
    // Ends it as a crash would, without a word to anyone.
    void kill() {
        m_process.kill();
        m_process.waitForFinished(5000);
    }

    // Reads the clipboard as another client would (xclip -o); nothing on failure.
    static QByteArray readBack(const QString& type);

private:
    QProcess m_process;
    QByteArray m_output;
    bool m_started = false;
};
