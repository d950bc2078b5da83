#include "app/UpdateCheckResult.h"

#include <QCoreApplication>

namespace {
QString link(const QUrl& url) {
    if (url.isEmpty())
        return {};
    const QString href = url.toString(QUrl::FullyEncoded).toHtmlEscaped();
    QString label = url.toString(QUrl::RemoveScheme | QUrl::StripTrailingSlash);
    if (label.startsWith(QLatin1String("//")))
        label = label.mid(2);
    return QStringLiteral("<br><br><a href=\"%1\">%2</a>").arg(href, label.toHtmlEscaped());
}
} // namespace

QString UpdateCheckResult::title() const {
    switch (outcome) {
    case Outcome::UpdateAvailable:
        return tr("A new version of Quillet is available");
    case Outcome::UpToDate:
        return tr("Quillet is up to date");
    case Outcome::NoFeed:
        return tr("Updates come from your package manager");
    case Outcome::Failed:
        break;
    }
    return tr("Could not check for updates");
}

QString UpdateCheckResult::message() const {
    const QString current = currentVersion.toHtmlEscaped();
    switch (outcome) {
    case Outcome::UpdateAvailable:
        return tr("Quillet %1 is available — you have %2.")
                   .arg(latestVersion.toHtmlEscaped(), current) +
               link(pageUrl);
    case Outcome::UpToDate:
        return tr("Quillet %1 is the newest version.").arg(current) + link(pageUrl);
    case Outcome::NoFeed:
        return tr("This copy of Quillet (version %1) is updated by your system's "
                  "package manager. Quillet does not look for updates itself.")
                   .arg(current) +
               link(pageUrl);
    case Outcome::Failed:
        break;
    }
    return tr("The release feed could not be read: %1").arg(error.toHtmlEscaped()) + link(pageUrl);
}
