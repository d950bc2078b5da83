#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class DBusSingleInstance;
class QDBusAbstractAdaptor;

// The commands a desktop's own key bindings and scripts give the running
// Quillet: the methods TogglePicker(), ShowPanel(s tab) and Hide() of the
// interface com.ovo.quillet.Commands, on the object the single-instance guard
// offers. A call is answered once the command has been carried out, so a
// caller knows it arrived; a tab it does not know is refused with
// org.freedesktop.DBus.Error.InvalidArgs and changes nothing.
class DBusCommandService : public QObject {
    Q_OBJECT

public:
    // Make it before instance.claim(), so whoever sees the bus name can call it.
    explicit DBusCommandService(DBusSingleInstance& instance);
    ~DBusCommandService() override;

    static QString interfaceName() { return QStringLiteral("com.ovo.quillet.Commands"); }
    // The tab names ShowPanel takes besides the empty one (the tab shown last).
    static bool isPanelTab(const QString& tab);

Q_SIGNALS:
    void togglePickerRequested();
    // tab is "clipboard", "screenshots", or empty for the tab shown last.
    void showPanelRequested(const QString& tab);
    void hideRequested();

private:
    QPointer<QDBusAbstractAdaptor> m_adaptor; // the instance's child, which calls this
};
