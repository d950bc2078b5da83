// Image bytes as another application offers them on the clipboard: the header
// guard, the decoder of the named format and the re-encoding to PNG.
#include "FuzzSupport.h"
#include "history/ClipImageEncoder.h"

#include <QImage>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Fuzz::ensureApp();
    if (size < 1)
        return 0;
    // The first byte picks the offered type; the content never does.
    const QByteArray format = data[0] & 1 ? "tiff" : "png";
    const auto result = ClipImageEncoder::encode(Fuzz::bytes(data + 1, size - 1), format);
    if (result) {
        FUZZ_CHECK(result->png.startsWith("\x89PNG\r\n\x1a\n"));
        FUZZ_CHECK(result->hash.size() == 64);
        FUZZ_CHECK(!QImage::fromData(result->png, "png").isNull());
    }
    return 0;
}
