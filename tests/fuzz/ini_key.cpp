// One key of a tool's INI file read, replaced and removed without
// disturbing the rest: what is written reads back, what is removed is gone.
#include "FuzzSupport.h"
#include "platform/freedesktop/IniKeyEditor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto [text, valueBytes] = Fuzz::split(Fuzz::bytes(data, size));
    // A value as the tools store one: a single line without surrounding blanks.
    const QString value = QString::fromUtf8(valueBytes).remove(u'\n').remove(u'\r').trimmed();
    for (const QString& section : {QStringLiteral("General"), QString()}) {
        const QString key = QStringLiteral("savePath");
        IniKeyEditor::value(text, section, key);
        const QByteArray written = IniKeyEditor::withValue(text, section, key, value);
        FUZZ_CHECK(IniKeyEditor::value(written, section, key) == value);
        const QByteArray removed = IniKeyEditor::withoutKey(text, section, key);
        FUZZ_CHECK(!IniKeyEditor::value(removed, section, key));
    }
    return 0;
}
