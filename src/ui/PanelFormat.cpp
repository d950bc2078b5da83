#include "ui/PanelFormat.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

namespace {
QString tr(const char* text, int n) {
    return QCoreApplication::translate("PanelFormat", text, nullptr, n);
}
} // namespace

QString clipRowTitle(const ClipItem& item) {
    switch (item.kind) {
    case ClipKind::image:
        return QStringLiteral("Image");
    case ClipKind::file:
        if (item.filePath) {
            const QString name = QFileInfo(*item.filePath).fileName();
            return name.isEmpty() ? *item.filePath : name;
        }
        return item.text.value_or(QStringLiteral("File"));
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
        amount = tr("%n sec.", int(secs));
    else if (secs < 3600)
        amount = tr("%n min.", int(secs / 60));
    else if (secs < 86400)
        amount = tr("%n hr.", int(secs / 3600));
    else if (days < 7)
        amount = days == 1 ? tr("%n day", 1) : tr("%n days", int(days));
    else if (days < 30)
        amount = tr("%n wk.", int(days / 7));
    else if (days < 365)
        amount = tr("%n mo.", int(days / 30));
    else
        amount = tr("%n yr.", int(days / 365));
    return future ? tr("in %1", 0).arg(amount) : tr("%1 ago", 0).arg(amount);
}

QString clipMetaText(const ClipItem& item, const QDateTime& now) {
    const QDateTime created = QDateTime::fromMSecsSinceEpoch(qint64(item.createdAt * 1000.0));
    QString text = relativeTime(created, now);
    if (item.sourceName)
        text = *item.sourceName + QStringLiteral(" \u00B7 ") + text;
    if (item.downscaled)
        text += QStringLiteral(" \u00B7 downscaled");
    return text;
}

QString screenshotDateText(const QDateTime& created, const QDateTime& now, const QLocale& locale) {
    const QDateTime local = created.toLocalTime();
    const QString time = locale.toString(local.time(), QStringLiteral("h:mm AP"));
    if (local.date() == now.toLocalTime().date())
        return QStringLiteral("Today, ") + time;
    return locale.toString(local.date(), QStringLiteral("MMM d")) + QStringLiteral(", ") + time;
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
