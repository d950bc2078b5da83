#pragma once

#include <QCoreApplication>
#include <QString>
#include <QUrl>

// What one update check found out, in a form the dialog and the tests read alike.
struct UpdateCheckResult {
    Q_DECLARE_TR_FUNCTIONS(UpdateCheckResult)

public:
    enum class Outcome {
        UpdateAvailable, // the feed names a newer version
        UpToDate,        // the feed names this version or an older one
        NoFeed,          // this build checks nothing: the package manager brings updates
        Failed,          // the feed could not be fetched or read
    };

    Outcome outcome = Outcome::Failed;
    QString currentVersion;
    QString latestVersion; // as the feed wrote it; empty unless the feed was read
    QUrl pageUrl;          // release page from the feed (http/https only), else the home page
    QString error;         // why a check failed, for the dialog

    QString title() const;
    // Rich text for the dialog, with the link to pageUrl when there is one.
    QString message() const;
};
