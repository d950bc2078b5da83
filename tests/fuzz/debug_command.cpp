// Commands of the debug channel as another process of the user sends them,
// and the state file written for "state" (whose clip text is cut by graphemes).
#include "FuzzSupport.h"
#include "app/DebugChannel.h"
#include "app/DebugTarget.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
// The application side, reduced to what a command can reach: no windows to
// picture, the clip text from the input.
class Target : public DebugTarget {
public:
    QString clipText;
    void showPanel(const QString&) override {}
    void hidePanel() override {}
    QWidget* panelWindow() override { return nullptr; }
    void showQuickPicker() override {}
    void hideQuickPicker() override {}
    QWidget* quickPickerWindow() override { return nullptr; }
    void showSettings() override {}
    QWidget* settingsWindow() override { return nullptr; }
    void toggleLaunchAtLogin() override {}
    void restore(qint64) override {}
    DebugState state() override {
        DebugState s;
        s.latestClipText = clipText;
        return s;
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Fuzz::ensureApp();
    const auto [command, text] = Fuzz::split(Fuzz::bytes(data, size));
    Target target;
    target.clipText = QString::fromUtf8(text);
    DebugChannel channel(target);
    channel.setStatePath(Fuzz::folder() + QStringLiteral("/state.json"));
    channel.dispatch(QString::fromUtf8(command));
    // The state is written for "state" alone; its text is a prefix of the clip's.
    const QByteArray json = DebugChannel::stateJson(target.state());
    const QString cut = QJsonDocument::fromJson(json).object().value(u"latestClipText").toString();
    FUZZ_CHECK(cut.isEmpty() || target.clipText.startsWith(cut));
    return 0;
}
