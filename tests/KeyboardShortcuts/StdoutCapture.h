#pragma once

#include <QByteArray>
#include <QFile>
#include <QTemporaryFile>

#include <cstdio>
#include <unistd.h>

// Catches what this process writes on standard output between construction
// and text().
class StdoutCapture {
public:
    StdoutCapture() {
        m_file.open();
        std::fflush(stdout);
        m_saved = ::dup(1);
        ::dup2(m_file.handle(), 1);
    }
    ~StdoutCapture() { restore(); }
    QByteArray text() {
        restore();
        QFile f(m_file.fileName());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

private:
    void restore() {
        if (m_saved < 0)
            return;
        std::fflush(stdout);
        ::dup2(m_saved, 1);
        ::close(m_saved);
        m_saved = -1;
    }
    QTemporaryFile m_file;
    int m_saved = -1;
};
