#include "app/Updater.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace {
// A release feed on 127.0.0.1 that answers every request with one fixed HTTP
// response, 404 if the body is empty; it counts the connections and keeps the
// last request.
struct FeedServer : QTcpServer {
    int requests = 0;
    QByteArray lastRequest;

    explicit FeedServer(const QByteArray& body) {
        const QByteArray status = body.isEmpty() ? "404 Not Found" : "200 OK";
        QVERIFY(listen(QHostAddress::LocalHost));
        connect(this, &QTcpServer::newConnection, this, [=, this] {
            QTcpSocket* socket = nextPendingConnection();
            ++requests;
            lastRequest.clear();
            connect(socket, &QTcpSocket::readyRead, this, [=, this] {
                lastRequest += socket->readAll();
                if (!lastRequest.endsWith("\r\n\r\n"))
                    return;
                socket->write("HTTP/1.1 " + status + "\r\nContent-Type: application/json" +
                              "\r\nContent-Length: " + QByteArray::number(body.size()) +
                              "\r\nConnection: close\r\n\r\n" + body);
                socket->disconnectFromHost();
            });
        });
    }
    QUrl url() const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1/feed.json").arg(serverPort()));
    }
};

using Outcome = UpdateCheckResult::Outcome;
} // namespace

class TestUpdater : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void compareVersions();
    void checkNowReportsTheFeed_data();
    void checkNowReportsTheFeed();
    void dialogShowsTheResultWithoutBlocking();
};

void TestUpdater::compareVersions() {
    const struct {
        const char *a, *b;
        int order;
    } rows[] = {{"1.10", "1.9", 1}, // numeric, not textual
                {"1.2", "1.2.0", 0},
                {"v1.2.1", "1.2.0", 1},
                {"1.2.0-rc1", "1.2.0", -1}, // a pre-release comes before its release
                {"1.3.0-rc1", "1.2.0", 1},
                {"1.2.0+build5", "1.2.0", 0},
                {"1.2.x", "1.2", Updater::NotComparable}};
    for (const auto& row : rows) {
        const int back = row.order == Updater::NotComparable ? row.order : -row.order;
        QVERIFY2(Updater::compareVersions(row.a, row.b) == row.order, row.a);
        QVERIFY2(Updater::compareVersions(row.b, row.a) == back, row.a);
    }
}

void TestUpdater::checkNowReportsTheFeed_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QString>("latest");
    QTest::addColumn<QUrl>("page");
    const QUrl home = Updater::homePageUrl();
    QTest::newRow("newer") << QByteArray(R"({"version": "1.3.0", "url": "https://example.org/r"})")
                           << Outcome::UpdateAvailable << "1.3.0"
                           << QUrl(QStringLiteral("https://example.org/r"));
    QTest::newRow("same") << QByteArray(R"({"version": "1.2.0"})") << Outcome::UpToDate << "1.2.0"
                          << home;
    QTest::newRow("not JSON") << QByteArray("<html>moved</html>") << Outcome::Failed << "" << home;
    QTest::newRow("version not a string")
        << QByteArray(R"({"version": 2})") << Outcome::Failed << "" << home;
    QTest::newRow("HTTP error") << QByteArray() << Outcome::Failed << "" << home;
    // The page is opened in a browser on a click: nothing but a web address is taken.
    QTest::newRow("local file page ignored")
        << QByteArray(R"({"version": "9.0", "url": "file:///etc/passwd"})")
        << Outcome::UpdateAvailable << "9.0" << home;
    QTest::newRow("oversized feed")
        << QByteArray(R"({"version": "9.0", "pad": ")") + QByteArray(200 * 1024, 'x') + "\"}"
        << Outcome::Failed << "" << home;
}

void TestUpdater::checkNowReportsTheFeed() {
    QFETCH(QByteArray, body);
    QFETCH(Outcome, outcome);
    QFETCH(QString, latest);
    QFETCH(QUrl, page);
    FeedServer feed(body);
    Updater updater(feed.url(), QStringLiteral("1.2.0"));
    QList<UpdateCheckResult> shown;
    updater.setPresenter([&shown](const UpdateCheckResult& r) { shown.append(r); });
    QSignalSpy finished(&updater, &Updater::checkFinished);
    // At launch the check is quiet unless there is news.
    updater.start();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 20000);
    QCOMPARE(finished.first().at(1).toBool(), false);
    QCOMPARE(shown.size(), outcome == Outcome::UpdateAvailable ? 1 : 0);

    shown.clear();
    updater.checkNow();
    updater.checkNow(); // a second request while the first runs gets the same answer
    QTRY_COMPARE_WITH_TIMEOUT(shown.size(), 1, 20000);
    const UpdateCheckResult& result = shown.first();
    QCOMPARE(result.outcome, outcome);
    QCOMPARE(result.latestVersion, latest);
    QCOMPARE(result.pageUrl, page);
    QCOMPARE(feed.requests, 2);
    QVERIFY(feed.lastRequest.startsWith("GET /feed.json "));
    QCOMPARE(result.error.isEmpty(), outcome != Outcome::Failed);
    // The dialog offers the release page, or the project's page when there is one.
    QCOMPARE(
        result.message().contains(QLatin1String("href=\"") + page.toString(QUrl::FullyEncoded)),
        !page.isEmpty());
}

void TestUpdater::dialogShowsTheResultWithoutBlocking() {
    UpdateCheckResult result;
    result.outcome = Outcome::UpdateAvailable;
    result.currentVersion = QStringLiteral("1.2.0");
    result.latestVersion = QStringLiteral("1.3.0 <b>");
    result.pageUrl = QUrl(QStringLiteral("https://example.org/r?a=1&b=2"));
    // Text from the feed is shown as text, and the link keeps its whole address.
    const QString text = result.message();
    QVERIFY(text.contains(QLatin1String("1.3.0 &lt;b&gt;")));
    QVERIFY(text.contains(QLatin1String("href=\"https://example.org/r?a=1&amp;b=2\"")));
    QVERIFY(text.contains(QLatin1String(">example.org/r?a=1&amp;b=2</a>")));
    Updater::showDialog(result); // returns at once: the dialog is not modal
    QVERIFY(!QApplication::activeModalWidget());
}

QTEST_MAIN(TestUpdater)
#include "tst_updater.moc"
