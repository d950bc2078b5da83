#include "KeyboardShortcuts/Center.h"
#include "KeyboardShortcuts/Name.h"
#include "KeyboardShortcuts/RecorderWidget.h"
#include "helpers/WiredServices.h"
#include "ui/settings/GeneralSection.h"
#include "ui/settings/SettingsSwitch.h"
#include "ui/settings/SettingsTabBar.h"
#include "ui/settings/SettingsWindow.h"
#include "ui/settings/ShortcutsSection.h"

#include <QAbstractButton>
#include <QDir>
#include <QImage>
#include <QTest>

// The real window on a real X server with a window manager. Set QUILLET_GRAB_DIR to keep
// a picture of every section for looking at by eye.
class TestSettingsWindowX11 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void showsActiveAndDrawsEverySection();
    void choosingShortcutsDoesNotStartRecording();

private:
    WiredServices m_wired;
    SettingsWindow m_window{m_wired.ui};
};

void TestSettingsWindowX11::showsActiveAndDrawsEverySection() {
    // As the application declares it at start-up.
    using namespace KeyboardShortcuts;
    m_wired.services.shortcuts().declare(
        Name(QStringLiteral("openPanel"),
             Shortcut(Key::v, ModifierFlag::command | ModifierFlag::shift)));
    SettingsWindow& window = m_window;
    window.present();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY_WITH_TIMEOUT(window.isActiveWindow(), 10000);
    auto* recorder = qobject_cast<RecorderWidget*>(window.shortcuts()->recorder());
    QVERIFY(recorder);
    QCOMPARE(recorder->shortcutName().rawValue(), QStringLiteral("openPanel"));
    QVERIFY(!recorder->text().isEmpty());

    const QString grabDir = qEnvironmentVariable("QUILLET_GRAB_DIR");
    const auto buttons = window.tabBar()->findChildren<QAbstractButton*>();
    QCOMPARE(buttons.size(), 5);
    for (QAbstractButton* button : buttons) {
        QTest::mouseClick(button, Qt::LeftButton);
        const QImage picture = window.grab().toImage();
        // The selected tab sits on the accent gradient: blue dominates at its left edge.
        const QPoint inTab = button->mapTo(&window, QPoint(3, button->height() / 2));
        const QColor tab = picture.pixelColor(inTab * picture.devicePixelRatio());
        QVERIFY2(tab.blue() > 200 && tab.red() < 150, qPrintable(tab.name()));
        if (!grabDir.isEmpty())
            QVERIFY(picture.save(
                QDir(grabDir).filePath(button->toolTip().toLower() + QStringLiteral(".png"))));
    }
}

void TestSettingsWindowX11::choosingShortcutsDoesNotStartRecording() {
    SettingsWindow& window = m_window;
    window.setSection(SettingsSection::General);
    window.present();
    QTRY_VERIFY_WITH_TIMEOUT(window.isActiveWindow(), 10000);
    // Focus on a control of the section being left: Qt moves it on when the section hides.
    window.general()->launchAtLoginSwitch()->setFocus(Qt::TabFocusReason);
    QVERIFY(window.general()->launchAtLoginSwitch()->hasFocus());
    QTest::mouseClick(window.tabBar()->findChildren<QAbstractButton*>().at(3), Qt::LeftButton);
    auto* recorder =
        qobject_cast<KeyboardShortcuts::RecorderWidget*>(window.shortcuts()->recorder());
    QVERIFY(recorder);
    QVERIFY(!recorder->isRecording());
    // A click on it does record.
    QTest::mouseClick(recorder, Qt::LeftButton);
    QTRY_VERIFY(recorder->isRecording());
    recorder->clearFocus();
    QTRY_VERIFY(!recorder->isRecording());
}

QTEST_MAIN(TestSettingsWindowX11)
#include "tst_settingswindow_x11.moc"
