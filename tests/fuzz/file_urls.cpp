// File references as text/uri-list and x-special/gnome-copied-files carry them.
#include "FuzzSupport.h"
#include "platform/Pasteboard.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto urls = Pasteboard::parseFileUrls(Fuzz::bytes(data, size));
    if (!urls)
        return 0;
    FUZZ_CHECK(!urls->isEmpty());
    for (const QUrl& url : *urls)
        FUZZ_CHECK(url.isValid() && url.isLocalFile());
    return 0;
}
