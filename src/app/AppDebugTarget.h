#pragma once

#include "app/DebugTarget.h"

class AppDelegate;

// The running application as the debug channel sees it: the delegate's panel,
// quick picker and settings window, and the services below them.
class AppDebugTarget : public DebugTarget {
public:
    explicit AppDebugTarget(AppDelegate& app)
        : m_app(app) {}

    void showPanel(const QString& tab) override;
    void hidePanel() override;
    QWidget* panelWindow() override;
    void showQuickPicker() override;
    void hideQuickPicker() override;
    QWidget* quickPickerWindow() override;
    void showSettings() override;
    QWidget* settingsWindow() override;
    void toggleLaunchAtLogin() override;
    void restore(qint64 id) override;
    DebugState state() override;

private:
    AppDelegate& m_app;
};
