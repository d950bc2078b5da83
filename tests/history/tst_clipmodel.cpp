#include "history/ClipItem.h"
#include "thumbnails/Sha256.h"

#include <QRegularExpression>
#include <QTest>

class TestClipModel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sha256HexIsLowerCaseAndPadded();
    void kindTextForms();
    void equalityCoversEveryField();
};

void TestClipModel::sha256HexIsLowerCaseAndPadded() {
    const QRegularExpression hex(QStringLiteral("^[0-9a-f]{64}$"));
    QVERIFY(hex.match(sha256Hex({})).hasMatch());
    QCOMPARE(sha256Hex({}),
             QStringLiteral("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"));
    // The content hash of copied text hashes the prefixed string, never the text alone.
    QVERIFY(sha256Hex("text:abc") != sha256Hex("abc"));
    // The digest of "abc" holds the bytes 0x01 and 0x03: each keeps its zero digit.
    QCOMPARE(sha256Hex("abc"),
             QStringLiteral("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
}

void TestClipModel::kindTextForms() {
    QCOMPARE(clipKindFromText(QStringLiteral("rtf")), std::optional<ClipKind>(ClipKind::rtf));
    QCOMPARE(clipKindFromText(QStringLiteral("RTF")), std::nullopt);
    QCOMPARE(clipKindFromText(QString()), std::nullopt);
    for (ClipKind k :
         {ClipKind::text, ClipKind::rtf, ClipKind::image, ClipKind::file, ClipKind::link})
        QCOMPARE(clipKindFromText(clipKindText(k)), std::optional<ClipKind>(k));
}

void TestClipModel::equalityCoversEveryField() {
    ClipItem a;
    a.id = 7;
    a.text = QStringLiteral("x");
    a.createdAt = 1.5;
    ClipItem b = a;
    QCOMPARE(a, b);
    b.downscaled = true;
    QVERIFY(!(a == b));
    b = a;
    b.rtfPath = QString(); // present but empty is not absent
    QVERIFY(!(a == b));
    b = a;
    b.createdAt = 1.5000001;
    QVERIFY(!(a == b));
}

QTEST_GUILESS_MAIN(TestClipModel)
#include "tst_clipmodel.moc"
