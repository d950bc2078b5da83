#pragma once

// What every fuzz target shares: one offscreen application for the process,
// a private folder for parsers that only read paths, and a check that stops
// the run with a message (libFuzzer and the corpus runner both see the abort).

#include <QByteArray>
#include <QFile>
#include <QGuiApplication>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace Fuzz {
// Image decoding and text layout want a Gui application; made once, offscreen.
inline void ensureApp() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        new QGuiApplication(argc, argv);
    }
}

inline QString folder() {
    static QTemporaryDir dir;
    return dir.path();
}

// Writes bytes to a file of the private folder, replacing what was there.
inline QString writeFile(const QString& name, const QByteArray& bytes) {
    const QString path = folder() + QLatin1Char('/') + name;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        std::abort(); // the fuzzer's own folder must be writable
    return path;
}

inline QByteArray bytes(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// Splits the input at its first NUL byte: two independent fields from one input.
inline std::pair<QByteArray, QByteArray> split(const QByteArray& input) {
    const qsizetype at = input.indexOf('\0');
    if (at < 0)
        return {input, {}};
    return {input.left(at), input.mid(at + 1)};
}
} // namespace Fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
