#include "app/TrayIcon.h"

#include <QImage>
#include <QPixmap>
#include <QTest>

class TestTrayIcon : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void anchor_data();
    void anchor();
    void badgeIsDrawnAndInTooltip();
};

void TestTrayIcon::anchor_data() {
    QTest::addColumn<QRect>("tray");
    QTest::addColumn<bool>("clicked");
    QTest::addColumn<QPoint>("click");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QRect>("anchor");
    const QRect screen(0, 0, 1920, 1080);
    QTest::newRow("tray reports its place")
        << QRect(1800, 2, 24, 24) << true << QPoint(10, 10) << screen << QRect(1800, 2, 24, 24);
    QTest::newRow("no place: the click")
        << QRect() << true << QPoint(1805, 12) << screen << QRect(1805, 12, 1, 1);
    QTest::newRow("click beyond the edge: clamped")
        << QRect() << true << QPoint(1925, -4) << screen << QRect(1919, 0, 1, 1);
    // Opened by other means than a click (a second start, the picker's "All
    // history…"): no anchor, the panel goes to the pointer.
    QTest::newRow("no click, no place: none") << QRect() << false << QPoint() << screen << QRect();
    QTest::newRow("no screen known")
        << QRect() << true << QPoint(-50, -50) << QRect() << QRect(-50, -50, 1, 1);
}

void TestTrayIcon::anchor() {
    QFETCH(QRect, tray);
    QFETCH(bool, clicked);
    QFETCH(QPoint, click);
    QFETCH(QRect, screen);
    QFETCH(QRect, anchor);
    QCOMPARE(TrayIcon::anchorFor(tray, clicked ? std::optional(click) : std::nullopt, screen)
                 .value_or(QRect()),
             anchor);
}

void TestTrayIcon::badgeIsDrawnAndInTooltip() {
    TrayIcon tray;
    const QImage plain = tray.icon().pixmap(32, 32).toImage();
    QImage blank(plain.size(), plain.format());
    blank.fill(Qt::transparent);
    QVERIFY(plain != blank); // the paperclip is drawn
    tray.setTitle(QStringLiteral(" 3"));
    QCOMPARE(tray.toolTip(), QString("Quillet 3"));
    for (int side : {16, 32}) {
        // The count sits in the bottom right corner, in the accent blue.
        const QImage badged = tray.icon().pixmap(side, side).toImage();
        const QRgb corner = badged.pixel(side - side / 8 - 1, side - side / 4);
        QVERIFY2(qBlue(corner) > 200 && qRed(corner) < 150,
                 qPrintable(QString::number(corner, 16)));
    }
    tray.setTitle(QString());
    QCOMPARE(tray.toolTip(), QString("Quillet"));
    QCOMPARE(tray.icon().pixmap(32, 32).toImage(), plain);
}

QTEST_MAIN(TestTrayIcon)
#include "tst_trayicon.moc"
