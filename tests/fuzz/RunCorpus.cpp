// The fuzz targets as regression tests, without libFuzzer: every file of the
// corpus folder, then deterministic mutations of them (bit flips, special
// bytes, truncations, splices, repeats) until the count or the time is spent.
// A failing input is written to $TMPDIR/<target>.crash before the abort ends
// the run, and the mutation number reproduces it.
#include "FuzzSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/resource.h>
#include <unistd.h>

namespace {
QByteArray current;
QByteArray crashPath;

void writeCurrent(int signal) {
    const int fd = ::open(crashPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd >= 0) {
        [[maybe_unused]] auto n = ::write(fd, current.constData(), size_t(current.size()));
        ::close(fd);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void run(const QByteArray& input) {
    current = input;
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(current.constData()),
                           size_t(current.size()));
}

QByteArray mutate(const QList<QByteArray>& seeds, std::mt19937& rng) {
    auto below = [&rng](qsizetype n) {
        return n <= 0 ? 0 : qsizetype(rng() % quint64(n));
    };
    QByteArray b = seeds[below(seeds.size())];
    static const char special[] = {'\0', '\xff', '\n', '\r', '=', '[', ']', '"', '\\', ';', '%'};
    for (int steps = 1 + int(below(4)); steps > 0; --steps) {
        const qsizetype at = below(b.size() + 1);
        switch (below(6)) {
        case 0:
            if (at < b.size())
                b[at] = char(b[at] ^ (1 << below(8)));
            break;
        case 1:
            b.insert(at, special[below(sizeof special)]);
            break;
        case 2:
            b.truncate(at);
            break;
        case 3: { // splice: this one's head, another's tail
            const QByteArray& other = seeds[below(seeds.size())];
            b = b.left(at) + other.mid(below(other.size()));
            break;
        }
        case 4:
            b.insert(at, b.mid(at, below(32)));
            break;
        default:
            b.remove(at, below(16));
        }
    }
    return b;
}
} // namespace

int main(int argc, char** argv) {
    // The folder as argument, or from the test's environment.
    const QString corpus =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : qEnvironmentVariable("QUILLET_FUZZ_CORPUS");
    if (corpus.isEmpty()) {
        std::fprintf(stderr, "usage: %s CORPUS-FOLDER\n", argv[0]);
        return 2;
    }
    crashPath = QFile::encodeName(QDir::tempPath() + u'/' + QFileInfo(argv[0]).fileName() +
                                  QStringLiteral(".crash"));
    for (int s : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL})
        std::signal(s, writeCurrent);

    QList<QByteArray> seeds;
    const QFileInfoList files = QDir(corpus).entryInfoList(QDir::Files);
    for (const QFileInfo& info : files) {
        QFile f(info.filePath());
        if (!f.open(QIODevice::ReadOnly))
            return 2;
        seeds.append(f.readAll());
        run(seeds.last());
    }
    if (seeds.isEmpty()) {
        std::fprintf(stderr, "no corpus in %s\n", qPrintable(corpus));
        return 1; // an empty folder would test nothing
    }
    constexpr int kMutations = 20000;
    constexpr qint64 kBudgetMs = 2000;
    // Above the largest bitmap the image guard lets through (256 MiB).
    constexpr long kMaxRssKiB = 1024 * 1024;
    std::mt19937 rng(20261207);
    QElapsedTimer clock;
    clock.start();
    int done = 0;
    while (done < kMutations && clock.elapsed() < kBudgetMs) {
        run(mutate(seeds, rng));
        ++done;
    }
    // No input may cost much memory: a small input that makes a parser
    // allocate what it claims fails here even when the parser recovers.
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    if (usage.ru_maxrss > kMaxRssKiB) {
        std::fprintf(stderr, "an input took %ld MiB of memory\n", usage.ru_maxrss / 1024);
        return 1;
    }
    std::printf("%lld corpus inputs and %d mutations passed\n", qlonglong(seeds.size()), done);
    return 0;
}
