#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>

// Another process owning the X11 clipboard: xclip for one type, or clipowner
// for several at once. Stopped when it goes out of scope.
class ClipboardOwner {
public:
    static std::unique_ptr<ClipboardOwner> xclip(const QString& type, const QByteArray& bytes);
    // clipowner with these arguments (see clipowner.cpp).
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

    // Reads the clipboard as another client would (xclip -o); nothing on failure.
    static QByteArray readBack(const QString& type);

private:
    QProcess m_process;
    QByteArray m_output;
    bool m_started = false;
};
