#include "platform/x11/X11FrontmostApp.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
void writeEntry(const QString& path, const QByteArray& body) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[Desktop Entry]\nType=Application\nExec=true\n" + body +
            "\n[Desktop Action x]\nName=Not this\n");
}
} // namespace

// Runs under the harness's Xvfb with openbox, which keeps _NET_ACTIVE_WINDOW.
class TestX11FrontmostApp : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void resolution_data();
    void resolution();
    void activeWindowOfAnotherProcess();

private:
    QTemporaryDir m_data;
    QTemporaryDir m_lower;
};

void TestX11FrontmostApp::initTestCase() {
    const QString apps = m_data.filePath(QStringLiteral("applications"));
    writeEntry(apps + QStringLiteral("/org.example.Tester.desktop"),
               "Name=Example Tester\nStartupWMClass=quillettester");
    writeEntry(apps + QStringLiteral("/vendor/editor.desktop"), "Name=Vendor Editor");
    writeEntry(apps + QStringLiteral("/firefox.desktop"), "Name=Firefox Web");
    writeEntry(apps + QStringLiteral("/org.gtk.Thing.desktop"), "Name=Thing");
    // A folder later in the search order loses to the first.
    writeEntry(m_lower.filePath(QStringLiteral("applications/firefox.desktop")), "Name=Shadowed");
}

void TestX11FrontmostApp::resolution_data() {
    QTest::addColumn<QStringList>("props"); // gtk id, kde file, instance, class
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("name");
    QTest::newRow("gtk id first") << QStringList{"org.gtk.Thing", "vendor-editor.desktop", "a", "B"}
                                  << "org.gtk.Thing"
                                  << "Thing";
    QTest::newRow("kde desktop file")
        << QStringList{"", "vendor-editor.desktop", "a", "B"} << "vendor-editor"
        << "Vendor Editor";
    QTest::newRow("startup class by class")
        << QStringList{"", "", "x", "quillettester"} << "org.example.Tester"
        << "Example Tester";
    QTest::newRow("startup class by instance")
        << QStringList{"", "", "quillettester", "Xmessage"} << "org.example.Tester"
        << "Example Tester";
    QTest::newRow("lower-cased class") << QStringList{"", "", "Navigator", "Firefox"} << "firefox"
                                       << "Firefox Web";
    QTest::newRow("class itself") << QStringList{"", "", "gimp", "Gimp-2.10"} << "Gimp-2.10"
                                  << "Gimp-2.10";
    QTest::newRow("gtk id without entry")
        << QStringList{"org.none.App", "", "app", "App"} << "org.none.App"
        << "App";
}

void TestX11FrontmostApp::resolution() {
    QFETCH(QStringList, props);
    QFETCH(QString, id);
    QFETCH(QString, name);
    X11FrontmostApp front({m_data.path(), m_lower.path()});
    const FrontApp app = front.resolve(props[0], props[1], props[2], props[3]);
    QCOMPARE(app.id, std::optional<QString>(id));
    QCOMPARE(app.name, std::optional<QString>(name));
}

void TestX11FrontmostApp::activeWindowOfAnotherProcess() {
    X11FrontmostApp front({m_data.path()});
    QProcess window;
    window.start(QStringLiteral("xmessage"),
                 {QStringLiteral("-name"), QStringLiteral("quillettester"), QStringLiteral("hi")});
    QVERIFY(window.waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(front.frontmost().value_or(FrontApp{}).id,
                              std::optional<QString>(QStringLiteral("org.example.Tester")), 10000);
    QCOMPARE(front.frontmost()->name, std::optional<QString>(QStringLiteral("Example Tester")));

    // The window says which application it is: that wins over its class.
    QProcess xprop;
    xprop.start(
        QStringLiteral("sh"),
        {QStringLiteral("-c"),
         QStringLiteral("xprop -id \"$(xprop -root _NET_ACTIVE_WINDOW | awk '{print $5}')\""
                        " -f _GTK_APPLICATION_ID 8u -set _GTK_APPLICATION_ID org.gtk.Thing")});
    QVERIFY(xprop.waitForFinished());
    QTRY_COMPARE_WITH_TIMEOUT(front.frontmost().value_or(FrontApp{}).name,
                              std::optional<QString>(QStringLiteral("Thing")), 5000);

    window.kill();
    window.waitForFinished();
    QTRY_VERIFY_WITH_TIMEOUT(!front.frontmost(), 5000);
}

QTEST_MAIN(TestX11FrontmostApp)
#include "tst_x11frontmostapp.moc"
