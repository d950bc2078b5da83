#include "ui/PanelFormat.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

namespace {
// The translation context of the texts below.
struct PanelFormat {
    Q_DECLARE_TR_FUNCTIONS(PanelFormat)
};
} // namespace

QString clipRowTitle(const ClipItem& item) {
    switch (item.kind) {
    case ClipKind::image:
        return PanelFormat::tr("Image");
    case ClipKind::file:
        if (item.filePath) {
            const QString name = QFileInfo(*item.filePath).fileName();
            return name.isEmpty() ? *item.filePath : name;
        }
        return item.text.value_or(PanelFormat::tr("File"));
    case ClipKind::text:
    case ClipKind::rtf:
    case ClipKind::link:
        break;
    }
    return item.text.value_or(QString()).trimmed();
}

QString relativeTime(const QDateTime& then, const QDateTime& now) {
    const qint64 diff = then.secsTo(now);
    const bool future = diff < 0;
    const qint64 secs = future ? -diff : diff;
    const qint64 days = secs / 86400;
    QString amount;
    if (secs < 60)
        amount = PanelFormat::tr("%n sec.", nullptr, int(secs));
    else if (secs < 3600)
        amount = PanelFormat::tr("%n min.", nullptr, int(secs / 60));
    else if (secs < 86400)
        amount = PanelFormat::tr("%n hr.", nullptr, int(secs / 3600));
    else if (days < 7)
        amount = days == 1 ? PanelFormat::tr("%n day", nullptr, 1)
                           : PanelFormat::tr("%n days", nullptr, int(days));
    else if (days < 30)
        amount = PanelFormat::tr("%n wk.", nullptr, int(days / 7));
    else if (days < 365)
        amount = PanelFormat::tr("%n mo.", nullptr, int(days / 30));
    else
        amount = PanelFormat::tr("%n yr.", nullptr, int(days / 365));
    //: %1 is an amount of time such as "5 min."
    return future ? PanelFormat::tr("in %1").arg(amount)
                  //: %1 is an amount of time such as "5 min."
                  : PanelFormat::tr("%1 ago").arg(amount);
}

QString clipMetaText(const ClipItem& item, const QDateTime& now) {
    const QDateTime created = QDateTime::fromMSecsSinceEpoch(qint64(item.createdAt * 1000.0));
    QString text = relativeTime(created, now);
    if (item.sourceName)
        text = *item.sourceName + QStringLiteral(" \u00B7 ") + text;
    if (item.downscaled)
        text += PanelFormat::tr(" \u00B7 downscaled");
    return text;
}

QString screenshotDateText(const QDateTime& created, const QDateTime& now, const QLocale& locale) {
    const QDateTime local = created.toLocalTime();
    //: Time of day as a QTime format: the language's usual clock
    const QString time = locale.toString(local.time(), PanelFormat::tr("h:mm AP"));
    if (local.date() == now.toLocalTime().date())
        return PanelFormat::tr("Today, %1").arg(time);
    //: Day and abbreviated month as a QDate format
    return locale.toString(local.date(), PanelFormat::tr("MMM d")) + QStringLiteral(", ") + time;
}

QString baseNameOf(const QUrl& file) {
    const QString name = QFileInfo(file.toLocalFile()).fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

QString screenshotDateLabel(const QUrl& file, const QDateTime& now) {
    const QFileInfo info(file.toLocalFile());
    if (!info.exists())
        return baseNameOf(file);
    QDateTime created = info.birthTime();
    // File systems without a birth time: a capture is written once.
    if (!created.isValid())
        created = info.lastModified();
    if (!created.isValid())
        return baseNameOf(file);
    return screenshotDateText(created, now);
}

QUrl clipFileURL(const ClipItem& item) {
    if (item.filePath)
        return QUrl::fromLocalFile(*item.filePath);
    if (item.blobPath)
        return QUrl::fromLocalFile(*item.blobPath);
    return {};
}

QString clipKindSymbol(ClipKind kind) {
    switch (kind) {
    case ClipKind::text:
        return QStringLiteral("text.alignleft");
    case ClipKind::rtf:
        return QStringLiteral("textformat");
    case ClipKind::image:
        return QStringLiteral("photo");
    case ClipKind::file:
        return QStringLiteral("doc");
    case ClipKind::link:
        return QStringLiteral("link");
    }
    return QStringLiteral("doc");
}
