#include "platform/Pasteboard.h"

std::optional<QList<QUrl>> Pasteboard::parseFileUrls(const QByteArray& uriList) {
    QList<QUrl> urls;
    for (QByteArray line : uriList.split('\n')) {
        line = line.trimmed();
        // Comments, and the copy/cut verb that leads the GNOME form.
        if (line.isEmpty() || line.startsWith('#') || line == "copy" || line == "cut")
            continue;
        const QUrl url = QUrl::fromEncoded(line, QUrl::StrictMode);
        if (!url.isValid())
            return std::nullopt;
        // Web addresses copied beside files are left out; the files are kept.
        if (url.isLocalFile())
            urls.append(url);
    }
    if (urls.isEmpty())
        return std::nullopt;
    return urls;
}
