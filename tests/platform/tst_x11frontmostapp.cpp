#include "TestFiles.h"

#include "platform/x11/X11FrontmostApp.h"

#include <QProcess>
#include <QTemporaryDir>

// Runs under the harness's Xvfb with openbox, which keeps _NET_ACTIVE_WINDOW.
class TestX11FrontmostApp : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void resolutionAndTheActiveWindow();
};

void TestX11FrontmostApp::resolutionAndTheActiveWindow() {
    QTemporaryDir data;
    QTemporaryDir lower;
    const auto writeEntry = [](const QString& path, const QByteArray& body) {
        writeFile(path, "[Desktop Entry]\nType=Application\nExec=true\n" + body +
                            "\n[Desktop Action x]\nName=Not this\n");
    };
    const QString apps = data.filePath(QStringLiteral("applications"));
    writeEntry(apps + QStringLiteral("/org.example.Tester.desktop"),
               "Name=Example Tester\nStartupWMClass=quillettester");
    writeEntry(apps + QStringLiteral("/vendor/editor.desktop"), "Name=Vendor Editor");
    writeEntry(apps + QStringLiteral("/firefox.desktop"), "Name=Firefox Web");
    writeEntry(apps + QStringLiteral("/org.gtk.Thing.desktop"), "Name=Thing");
    // A folder later in the search order loses to the first.
    writeEntry(lower.filePath(QStringLiteral("applications/firefox.desktop")), "Name=Shadowed");

    X11FrontmostApp front({data.path(), lower.path()});
    // From the window's GTK id, KDE desktop file, instance and class: "id | name".
    const auto resolve = [&](const char* gtk, const char* kde, const char* instance,
                             const char* windowClass) {
        const FrontApp app =
            front.resolve(QString::fromUtf8(gtk), QString::fromUtf8(kde),
                          QString::fromUtf8(instance), QString::fromUtf8(windowClass));
        return app.id.value_or(u"-"_qs) + u" | "_qs + app.name.value_or(u"-"_qs);
    };
    QCOMPARE(resolve("org.gtk.Thing", "vendor-editor.desktop", "a", "B"), "org.gtk.Thing | Thing");
    QCOMPARE(resolve("", "vendor-editor.desktop", "a", "B"), "vendor-editor | Vendor Editor");
    // StartupWMClass, matched by class or by instance.
    QCOMPARE(resolve("", "", "x", "quillettester"), "org.example.Tester | Example Tester");
    QCOMPARE(resolve("", "", "quillettester", "Xmessage"), "org.example.Tester | Example Tester");
    QCOMPARE(resolve("", "", "Navigator", "Firefox"), "firefox | Firefox Web");
    QCOMPARE(resolve("", "", "gimp", "Gimp-2.10"), "Gimp-2.10 | Gimp-2.10");
    QCOMPARE(resolve("org.none.App", "", "app", "App"), "org.none.App | App");

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
