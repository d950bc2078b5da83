#include "history/ClipKind.h"

QString clipKindText(ClipKind kind) {
    switch (kind) {
    case ClipKind::text:
        return QStringLiteral("text");
    case ClipKind::rtf:
        return QStringLiteral("rtf");
    case ClipKind::image:
        return QStringLiteral("image");
    case ClipKind::file:
        return QStringLiteral("file");
    case ClipKind::link:
        return QStringLiteral("link");
    }
    return QStringLiteral("text");
}

std::optional<ClipKind> clipKindFromText(const QString& text) {
    for (ClipKind k :
         {ClipKind::text, ClipKind::rtf, ClipKind::image, ClipKind::file, ClipKind::link}) {
        if (clipKindText(k) == text)
            return k;
    }
    return std::nullopt;
}
