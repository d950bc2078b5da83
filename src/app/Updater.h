#pragma once

#include "app/UpdateCheckResult.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

// Checks a small JSON release feed, {"version": "1.2.0", "url": "https://…"}, for a
// newer Quillet. The feed's address is fixed when Quillet is built; a build without one
// never touches the network and leaves updates to the system's package manager. The
// request carries nothing about the user: it is a plain GET of the feed.
class Updater : public QObject {
    Q_OBJECT
public:
    using Presenter = std::function<void(const UpdateCheckResult&)>;

    // An empty feedUrl means "no feed". Tests pass their own feed and version.
    explicit Updater(QUrl feedUrl = builtInFeedUrl(), QString currentVersion = QString(),
                     QObject* parent = nullptr);
    ~Updater() override;

    static QUrl builtInFeedUrl();
    static QUrl homePageUrl();

    // -1, 0 or 1 as a is older than, the same as or newer than b; NotComparable when
    // either is not a version at all. A pre-release ("1.2-rc1") is older than its release.
    static int compareVersions(const QString& a, const QString& b);
    static constexpr int NotComparable = 2;

    // At launch: one quiet check, repeated daily while Quillet runs. The user hears of
    // it only when a newer version exists.
    void start();
    // On request: checks at once and always tells the user the result.
    void checkNow();

    // How results reach the user; by default a non-modal dialog with a clickable link.
    void setPresenter(Presenter presenter) { m_presenter = std::move(presenter); }
    static void showDialog(const UpdateCheckResult& result);

    // Turns a feed body into a result; public for the tests of odd feeds.
    UpdateCheckResult interpretFeed(const QByteArray& body) const;

Q_SIGNALS:
    void checkFinished(const UpdateCheckResult& result, bool userAsked);

private:
    void beginCheck(bool userAsked);
    void finish(const UpdateCheckResult& result);
    UpdateCheckResult baseResult() const;

    QUrl m_feedUrl;
    QString m_currentVersion;
    Presenter m_presenter;
    QNetworkAccessManager* m_network = nullptr;
    QPointer<QNetworkReply> m_reply;
    bool m_userAsked = false;
    QTimer m_dailyTimer;
};
