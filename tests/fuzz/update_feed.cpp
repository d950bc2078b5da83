// The update feed's body, and the comparison of the versions it names.
#include "FuzzSupport.h"
#include "app/Updater.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Fuzz::ensureApp();
    static Updater updater(QUrl(QStringLiteral("https://updates.invalid/feed.json")),
                           QStringLiteral("1.0.0"));
    const QByteArray input = Fuzz::bytes(data, size);
    const UpdateCheckResult result = updater.interpretFeed(input);
    result.title();
    result.message();
    if (result.outcome != UpdateCheckResult::Outcome::Failed)
        FUZZ_CHECK(!result.pageUrl.isValid() || result.pageUrl.scheme().startsWith(u"http"));

    const auto [a, b] = Fuzz::split(input);
    const QString va = QString::fromUtf8(a), vb = QString::fromUtf8(b);
    const int ab = Updater::compareVersions(va, vb);
    const int ba = Updater::compareVersions(vb, va);
    // An order: the same answer both ways round, and a version equals itself.
    if (ab == Updater::NotComparable)
        FUZZ_CHECK(ba == Updater::NotComparable);
    else
        FUZZ_CHECK(ab == -ba && Updater::compareVersions(va, va) == 0);
    return 0;
}
