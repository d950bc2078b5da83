#pragma once

#include "history/ClipItem.h"

#include <QWidget>

#include <functional>

class ClipStore;
class Prefs;
class QuickPickerModel;
class QuickPickerView;

// What choosing a clip does beyond the picker: remember the window in front
// before the picker takes the keyboard, put the clip on the clipboard, and
// paste into that window.
struct QuickPickerActions {
    std::function<void()> rememberFrontmostWindow;
    std::function<void(const ClipItem&)> copyToPasteboard;
    std::function<void()> pasteToFrontmostApp;
};

// The small window the global shortcut opens at the pointer with the five
// newest clips. It takes the keyboard while shown and hides as soon as it
// loses it; it is hidden, never destroyed, between uses.
class QuickPicker : public QWidget {
    Q_OBJECT

public:
    static constexpr int pasteDelayMs = 150;

    QuickPicker(ClipStore& store, Prefs& prefs, QuickPickerActions actions,
                QWidget* parent = nullptr);
    ~QuickPicker() override;

    // The one picker of the process, on the shared store, settings and clipboard.
    static QuickPicker& shared();

    QuickPickerModel& model() const { return *m_model; }
    QuickPickerView& view() const { return *m_view; }

    // What the shortcut runs: hide when shown, show otherwise.
    void toggle();
    // Reload, size for the list, place at the pointer and take the keyboard.
    void show();
    // Choose the clip at `index`: hide, copy, and paste when the user allows it.
    void pick(qint64 index);

Q_SIGNALS:
    // The user asked for the full history; the shell opens the panel on the clipboard tab.
    void allHistoryRequested();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void openAllHistory();

    Prefs& m_prefs;
    QuickPickerActions m_actions;
    QuickPickerModel* m_model;
    QuickPickerView* m_view;
};
