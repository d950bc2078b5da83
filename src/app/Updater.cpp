#include "app/Updater.h"

#include "app/AppLog.h"

#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QVersionNumber>

#include <optional>

namespace {
// A feed is two short fields; anything much bigger is not one.
constexpr qint64 MaxFeedBytes = 64 * 1024;
constexpr int TransferTimeoutMs = 15000;
constexpr int DailyMs = 24 * 60 * 60 * 1000;

struct ParsedVersion {
    QVersionNumber number;
    bool preRelease = false;
};

std::optional<ParsedVersion> parseVersion(QString text) {
    text = text.trimmed();
    if (text.startsWith(QLatin1Char('v')) || text.startsWith(QLatin1Char('V')))
        text = text.mid(1);
    qsizetype suffixIndex = 0;
    const QVersionNumber number = QVersionNumber::fromString(text, &suffixIndex);
    if (number.isNull() || suffixIndex == 0)
        return std::nullopt;
    const QString suffix = text.mid(suffixIndex);
    // "+build" metadata does not make a different release; anything else is a pre-release.
    if (!suffix.isEmpty() && !suffix.startsWith(QLatin1Char('-')) &&
        !suffix.startsWith(QLatin1Char('+')))
        return std::nullopt;
    return ParsedVersion{number.normalized(), suffix.startsWith(QLatin1Char('-'))};
}
} // namespace

Updater::Updater(QUrl feedUrl, QString currentVersion, QObject* parent)
    : QObject(parent)
    , m_feedUrl(std::move(feedUrl))
    , m_currentVersion(currentVersion.isEmpty() ? QCoreApplication::applicationVersion()
                                                : std::move(currentVersion))
    , m_presenter(&Updater::showDialog) {
    m_dailyTimer.setInterval(DailyMs);
    connect(&m_dailyTimer, &QTimer::timeout, this, [this] { beginCheck(false); });
}

Updater::~Updater() {
    if (m_reply)
        m_reply->abort();
}

QUrl Updater::builtInFeedUrl() {
    return QUrl(QStringLiteral(QUILLET_UPDATE_FEED_URL));
}

QUrl Updater::homePageUrl() {
    return QUrl(QStringLiteral(QUILLET_HOMEPAGE_URL));
}

int Updater::compareVersions(const QString& a, const QString& b) {
    const auto va = parseVersion(a);
    const auto vb = parseVersion(b);
    if (!va || !vb)
        return NotComparable;
    const int byNumber = QVersionNumber::compare(va->number, vb->number);
    if (byNumber != 0)
        return byNumber < 0 ? -1 : 1;
    if (va->preRelease == vb->preRelease)
        return 0;
    return va->preRelease ? -1 : 1;
}

void Updater::start() {
    if (m_feedUrl.isEmpty())
        return;
    m_dailyTimer.start();
    QTimer::singleShot(0, this, [this] { beginCheck(false); });
}

void Updater::checkNow() {
    beginCheck(true);
}

UpdateCheckResult Updater::baseResult() const {
    UpdateCheckResult result;
    result.currentVersion = m_currentVersion;
    result.pageUrl = homePageUrl();
    return result;
}

void Updater::beginCheck(bool userAsked) {
    if (m_feedUrl.isEmpty()) {
        UpdateCheckResult result = baseResult();
        result.outcome = UpdateCheckResult::Outcome::NoFeed;
        m_userAsked = userAsked;
        finish(result);
        return;
    }
    m_userAsked = m_userAsked || userAsked;
    if (m_reply)
        return; // the check under way answers this request too

    if (!m_network)
        m_network = new QNetworkAccessManager(this);
    QNetworkRequest request(m_feedUrl);
    request.setTransferTimeout(TransferTimeoutMs);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    m_reply = m_network->get(request);
    QNetworkReply* reply = m_reply;
    connect(reply, &QNetworkReply::downloadProgress, this, [reply](qint64 received, qint64) {
        if (received > MaxFeedBytes) {
            reply->setProperty("tooLarge", true);
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        UpdateCheckResult result;
        if (reply->property("tooLarge").toBool()) {
            result = baseResult();
            result.error = tr("the feed is too large.");
        } else if (reply->error() != QNetworkReply::NoError) {
            result = baseResult();
            result.error = reply->errorString();
        } else {
            result = interpretFeed(reply->read(MaxFeedBytes + 1));
        }
        finish(result);
    });
}

UpdateCheckResult Updater::interpretFeed(const QByteArray& body) const {
    UpdateCheckResult result = baseResult();
    if (body.size() > MaxFeedBytes) {
        result.error = tr("the feed is too large.");
        return result;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError || !doc.isObject()) {
        result.error = tr("the feed is not a JSON object.");
        return result;
    }
    const QJsonObject feed = doc.object();
    const QString latest = feed.value(QLatin1String("version")).toString();
    const int order = compareVersions(latest, m_currentVersion);
    if (order == NotComparable) {
        result.error = tr("the feed names no version.");
        return result;
    }
    result.latestVersion = latest.trimmed();
    // The page is opened in the user's browser: only ever a web address.
    const QUrl page(feed.value(QLatin1String("url")).toString().trimmed(), QUrl::StrictMode);
    const QString scheme = page.scheme().toLower();
    if (page.isValid() && !page.host().isEmpty() &&
        (scheme == QLatin1String("https") || scheme == QLatin1String("http")))
        result.pageUrl = page;
    result.outcome = order > 0 ? UpdateCheckResult::Outcome::UpdateAvailable
                               : UpdateCheckResult::Outcome::UpToDate;
    return result;
}

void Updater::finish(const UpdateCheckResult& result) {
    const bool userAsked = m_userAsked;
    m_userAsked = false;
    qCDebug(appLog) << "update check:" << result.title() << result.latestVersion << result.error;
    Q_EMIT checkFinished(result, userAsked);
    // A quiet check speaks up only for news.
    if (userAsked || result.outcome == UpdateCheckResult::Outcome::UpdateAvailable) {
        if (m_presenter)
            m_presenter(result);
    }
}

void Updater::showDialog(const UpdateCheckResult& result) {
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Quillet"),
                                QStringLiteral("<b>%1</b><br><br>%2")
                                    .arg(result.title().toHtmlEscaped(), result.message()));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setTextFormat(Qt::RichText);
    box->setTextInteractionFlags(Qt::TextBrowserInteraction);
    box->setStandardButtons(QMessageBox::Ok);
    box->setWindowModality(Qt::NonModal);
    box->show();
    box->raise();
    box->activateWindow();
}
