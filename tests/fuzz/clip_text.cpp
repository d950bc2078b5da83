// A text offer as the history reads it: marker types, file references, plain
// and rich text, the link test and the grapheme cut.
#include "FuzzSupport.h"
#include "history/ClipKind.h"
#include "history/ClipReader.h"
#include "history/ClipText.h"
#include "platform/null/MemoryPasteboard.h"

#include <QMimeData>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Fuzz::ensureApp();
    if (size < 1)
        return 0;
    // The first byte picks which types are offered beside the text.
    const uint8_t types = data[0];
    const auto [text, rest] = Fuzz::split(Fuzz::bytes(data + 1, size - 1));
    auto mime = std::make_unique<QMimeData>();
    mime->setData(types & 1 ? PasteboardType::plainText : PasteboardType::string, text);
    if (types & 2)
        mime->setData(PasteboardType::rtf, rest);
    if (types & 4)
        mime->setData(PasteboardType::fileUrl, rest);
    if (types & 8)
        mime->setData(PasteboardType::concealed, {});
    MemoryPasteboard pasteboard;
    pasteboard.setMimeData(std::move(mime));
    const ClipOffer offer = ClipReader::read(pasteboard);
    if (offer.kind == ClipOffer::Kind::text) {
        FUZZ_CHECK(!offer.text.isEmpty() && !offer.text.endsWith(QChar::Null));
        ClipText::isLink(offer.text);
        // A small limit, so the cut is reached by inputs a fuzzer makes.
        const qsizetype limit = types >> 4;
        FUZZ_CHECK(!ClipText::exceedsGraphemes(offer.text, limit) || offer.text.size() > limit);
    }
    if (offer.kind == ClipOffer::Kind::files)
        FUZZ_CHECK(!offer.urls.isEmpty());
    clipKindFromText(QString::fromUtf8(text));
    return 0;
}
