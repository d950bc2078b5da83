#include "app/Updater.h"

#include <QApplication>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace {
QUrl feedUrl(quint16 port) {
    return QUrl(QStringLiteral("http://127.0.0.1:%1/feed.json").arg(port));
}

// A release feed on 127.0.0.1 that answers every request with one fixed HTTP
// response; it counts the requests and keeps the last one.
struct FeedServer : QObject {
    QTcpServer server;
    int requests = 0;
    QByteArray lastRequest;

    explicit FeedServer(const QByteArray& body, const QByteArray& status = "200 OK") {
        QVERIFY(server.listen(QHostAddress::LocalHost));
        connect(&server, &QTcpServer::newConnection, this, [=, this] {
            while (QTcpSocket* socket = server.nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, this, [=, this] {
                    lastRequest = socket->property("got").toByteArray() + socket->readAll();
                    socket->setProperty("got", lastRequest);
                    if (!lastRequest.contains("\r\n\r\n"))
                        return;
                    ++requests;
                    socket->write("HTTP/1.1 " + status + "\r\nContent-Type: application/json" +
                                  "\r\nContent-Length: " + QByteArray::number(body.size()) +
                                  "\r\nConnection: close\r\n\r\n" + body);
                    socket->disconnectFromHost();
                });
        });
    }
    QUrl url() const { return feedUrl(server.serverPort()); }
};

// An address where nothing listens: a port that was just free.
QUrl unreachableUrl() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return feedUrl(probe.serverPort()); // closed when the probe goes
}

using Outcome = UpdateCheckResult::Outcome;

QMessageBox* visibleMessageBox() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
            return box;
    return nullptr;
}
} // namespace

class TestUpdater : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void compareVersions_data();
    void compareVersions();
    void checkNowReportsTheFeed_data();
    void checkNowReportsTheFeed();
    void launchCheckSpeaksOnlyOfNews();
    void dialogShowsTheResultWithoutBlocking();
};

void TestUpdater::compareVersions_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("order");
    QTest::newRow("numeric, not textual") << "1.10"
                                          << "1.9" << 1;
    QTest::newRow("trailing zeros") << "1.2"
                                    << "1.2.0" << 0;
    QTest::newRow("leading v") << "v1.2.1"
                               << "1.2.0" << 1;
    QTest::newRow("pre-release before release") << "1.2.0-rc1"
                                                << "1.2.0" << -1;
    QTest::newRow("pre-release after older release") << "1.3.0-rc1"
                                                     << "1.2.0" << 1;
    QTest::newRow("build metadata") << "1.2.0+build5"
                                    << "1.2.0" << 0;
    QTest::newRow("not a version") << "latest"
                                   << "1.0" << Updater::NotComparable;
    QTest::newRow("junk after numbers") << "1.2.x"
                                        << "1.2" << Updater::NotComparable;
}

void TestUpdater::compareVersions() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, order);
    QCOMPARE(Updater::compareVersions(a, b), order);
    if (order != Updater::NotComparable)
        QCOMPARE(Updater::compareVersions(b, a), -order);
}

void TestUpdater::checkNowReportsTheFeed_data() {
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QString>("latest");
    QTest::addColumn<QUrl>("page");
    const QUrl release(QStringLiteral("https://example.org/releases/1.3.0"));
    const QUrl home = Updater::homePageUrl();
    QTest::newRow("newer") << QByteArray("200 OK")
                           << QByteArray(R"({"version": "1.3.0", "url": )"
                                         R"("https://example.org/releases/1.3.0"})")
                           << Outcome::UpdateAvailable << "1.3.0" << release;
    QTest::newRow("same") << QByteArray("200 OK")
                          << QByteArray(R"({"version": "1.2.0", "url": "https://example.org/"})")
                          << Outcome::UpToDate << "1.2.0"
                          << QUrl(QStringLiteral("https://example.org/"));
    QTest::newRow("not JSON") << QByteArray("200 OK") << QByteArray("<html>moved</html>")
                              << Outcome::Failed << "" << home;
    QTest::newRow("version not a string")
        << QByteArray("200 OK") << QByteArray(R"({"version": 2})") << Outcome::Failed << "" << home;
    QTest::newRow("HTTP error") << QByteArray("404 Not Found") << QByteArray("{}")
                                << Outcome::Failed << "" << home;
    QTest::newRow("nothing listens")
        << QByteArray() << QByteArray() << Outcome::Failed << "" << home;
    // The page is opened in a browser on a click: nothing but a web address is taken.
    QTest::newRow("local file page ignored")
        << QByteArray("200 OK") << QByteArray(R"({"version": "9.0", "url": "file:///etc/passwd"})")
        << Outcome::UpdateAvailable << "9.0" << home;
    QTest::newRow("oversized feed")
        << QByteArray("200 OK")
        << QByteArray(R"({"version": "9.0", "pad": ")") + QByteArray(200 * 1024, 'x') + "\"}"
        << Outcome::Failed << "" << home;
}

void TestUpdater::checkNowReportsTheFeed() {
    QFETCH(QByteArray, status);
    QFETCH(QByteArray, body);
    QFETCH(Outcome, outcome);
    QFETCH(QString, latest);
    QFETCH(QUrl, page);
    FeedServer feed(body, status);
    Updater updater(status.isEmpty() ? unreachableUrl() : feed.url(), QStringLiteral("1.2.0"));
    QList<UpdateCheckResult> shown;
    updater.setPresenter([&shown](const UpdateCheckResult& r) { shown.append(r); });

    updater.checkNow();
    updater.checkNow(); // a second request while the first runs gets the same answer
    QTRY_COMPARE_WITH_TIMEOUT(shown.size(), 1, 20000);
    const UpdateCheckResult& result = shown.first();
    QCOMPARE(result.outcome, outcome);
    QCOMPARE(result.latestVersion, latest);
    QCOMPARE(result.pageUrl, page);
    QCOMPARE(result.currentVersion, QStringLiteral("1.2.0"));
    if (!status.isEmpty()) {
        QCOMPARE(feed.requests, 1);
        QVERIFY(feed.lastRequest.startsWith("GET /feed.json "));
    }
    // The dialog offers the release page, or the project's page when there is one.
    if (page.isEmpty())
        QVERIFY(!result.message().contains(QLatin1String("href=")));
    else
        QVERIFY(result.message().contains(QLatin1String("href=\"") +
                                          page.toString(QUrl::FullyEncoded)));
    if (outcome == Outcome::Failed)
        QVERIFY(!result.error.isEmpty());
}

void TestUpdater::launchCheckSpeaksOnlyOfNews() {
    {
        // Without a feed nothing is fetched, not even quietly at launch.
        Updater updater(QUrl(), QStringLiteral("1.2.0"));
        QList<UpdateCheckResult> shown;
        updater.setPresenter([&shown](const UpdateCheckResult& r) { shown.append(r); });
        QSignalSpy finished(&updater, &Updater::checkFinished);
        updater.start();
        QCoreApplication::processEvents();
        QCOMPARE(finished.count(), 0);
        updater.checkNow();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().outcome, Outcome::NoFeed);
        QVERIFY(shown.first().message().contains(QLatin1String("package manager")));
    }
    FeedServer same(R"({"version": "1.2.0"})");
    {
        Updater updater(same.url(), QStringLiteral("1.2.0"));
        int presented = 0;
        updater.setPresenter([&presented](const UpdateCheckResult&) { ++presented; });
        QSignalSpy finished(&updater, &Updater::checkFinished);
        updater.start();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 20000);
        QCOMPARE(finished.first().at(1).toBool(), false);
        QCOMPARE(presented, 0);
    }
    FeedServer newer(R"({"version": "1.4"})");
    Updater updater(newer.url(), QStringLiteral("1.2.0"));
    QList<UpdateCheckResult> shown;
    updater.setPresenter([&shown](const UpdateCheckResult& r) { shown.append(r); });
    updater.start();
    QTRY_COMPARE_WITH_TIMEOUT(shown.size(), 1, 20000);
    QCOMPARE(shown.first().outcome, Outcome::UpdateAvailable);
}

void TestUpdater::dialogShowsTheResultWithoutBlocking() {
    UpdateCheckResult result;
    result.outcome = Outcome::UpdateAvailable;
    result.currentVersion = QStringLiteral("1.2.0");
    result.latestVersion = QStringLiteral("1.3.0 <b>");
    result.pageUrl = QUrl(QStringLiteral("https://example.org/r?a=1&b=2"));
    Updater::showDialog(result); // returns at once: the dialog is not modal

    QMessageBox* box = nullptr;
    QTRY_VERIFY((box = visibleMessageBox()));
    // Text from the feed is shown as text, and the link keeps its whole address.
    QVERIFY(box->text().contains(QLatin1String("1.3.0 &lt;b&gt;")));
    QVERIFY(box->text().contains(QLatin1String("href=\"https://example.org/r?a=1&amp;b=2\"")));
    QVERIFY(box->text().contains(QLatin1String(">example.org/r?a=1&amp;b=2</a>")));
    QCOMPARE(box->windowModality(), Qt::NonModal);
    box->close();
}

QTEST_MAIN(TestUpdater)
#include "tst_updater.moc"
