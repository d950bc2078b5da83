#include "helpers/ClipboardOwner.h"
#include "helpers/TestImages.h"

#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRasterWindow>
#include <QTemporaryFile>
#include <QTest>

// What the Wayland tests stand on: the harness's private sway, another
// application (wlowner) owning its clipboard, and wl-paste reading it back.
class TestWaylandTier : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void shownWindowTakesFocus();
    void ownerOffersEveryType();
    void hangingOwnerLeavesTheReaderWaiting();
};

namespace {
// Whether sway's focused window is this process's, by its IPC socket.
bool focusedHere() {
    QProcess msg;
    msg.start(QStringLiteral("swaymsg"),
              {QStringLiteral("-r"), QStringLiteral("-t"), QStringLiteral("get_tree")});
    if (!msg.waitForFinished(5000) || msg.exitCode() != 0)
        return false;
    QList<QJsonObject> nodes{QJsonDocument::fromJson(msg.readAllStandardOutput()).object()};
    while (!nodes.isEmpty()) {
        const QJsonObject node = nodes.takeLast();
        if (node.value(QLatin1String("focused")).toBool())
            return node.value(QLatin1String("pid")).toInteger() ==
                   QCoreApplication::applicationPid();
        for (const char* key : {"nodes", "floating_nodes"})
            for (const QJsonValue& child : node.value(QLatin1String(key)).toArray())
                nodes.append(child.toObject());
    }
    return false;
}
} // namespace

void TestWaylandTier::shownWindowTakesFocus() {
    // The frontmost-application tests need windows that get the focus when
    // shown, and SWAYSOCK to ask the compositor which one has it.
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("wayland"));
    QVERIFY(!qEnvironmentVariableIsSet("DISPLAY"));
    QVERIFY(!focusedHere());
    QRasterWindow window;
    window.resize(200, 100);
    window.show();
    QTRY_VERIFY(focusedHere());
}

void TestWaylandTier::ownerOffersEveryType() {
    const QByteArray png = TestImages::png(64, 48, true);
    QTemporaryFile file;
    QVERIFY(file.open() && file.write(png) == png.size() && file.flush());
    const QString text = QStringLiteral("h\u00e9llo");
    auto owner = ClipboardOwner::offer({QStringLiteral("text/plain;charset=utf-8=") + text,
                                        QStringLiteral("image/png=@") + file.fileName()});
    QVERIFY(owner->started());
    QCOMPARE(
        ClipboardOwner::offeredTypes(),
        QStringList({QStringLiteral("text/plain;charset=utf-8"), QStringLiteral("image/png")}));
    QCOMPARE(ClipboardOwner::readBack(QStringLiteral("image/png")), png);
    QCOMPARE(ClipboardOwner::readBack(QStringLiteral("text/plain;charset=utf-8")), text.toUtf8());

    // Another application copies: the first hears of it and leaves. The second
    // offers its one type alone, and when it quits its offer goes with it.
    auto next = ClipboardOwner::xclip(QStringLiteral("text/plain"), "next");
    QVERIFY(next->started());
    QVERIFY(owner->printed("cancelled"));
    QVERIFY(owner->exited());
    QCOMPARE(ClipboardOwner::offeredTypes(), QStringList{QStringLiteral("text/plain")});
    next->send("quit");
    QVERIFY(next->exited());
    QTRY_VERIFY(ClipboardOwner::offeredTypes().isEmpty());
}

void TestWaylandTier::hangingOwnerLeavesTheReaderWaiting() {
    // A frozen application: the reader gets no byte and no end of file, so
    // only its own time limit ends the read.
    auto owner = ClipboardOwner::offer({QStringLiteral("--hang"), QStringLiteral("text/plain=x")});
    QVERIFY(owner->started());
    QProcess reader;
    reader.start(QStringLiteral("timeout"), {QStringLiteral("2"), QStringLiteral("wl-paste"),
                                             QStringLiteral("-t"), QStringLiteral("text/plain")});
    QVERIFY(reader.waitForFinished(30000));
    QCOMPARE(reader.exitCode(), 124); // timed out
    QVERIFY(reader.readAllStandardOutput().isEmpty());
    QVERIFY(!owner->exited(0));
}

QTEST_MAIN(TestWaylandTier)
#include "tst_waylandtier.moc"
