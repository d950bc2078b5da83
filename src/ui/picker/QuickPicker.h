#pragma once

#include "ui/UiServices.h"

#include <QWidget>

class CopyBack;
class QuickPickerModel;
class QuickPickerView;

// The small window the global shortcut opens at the pointer with the five
// newest clips. It takes the keyboard while shown and hides as soon as it
// loses it; it is hidden, never destroyed, between uses.
class QuickPicker : public QWidget {
    Q_OBJECT

public:
    explicit QuickPicker(UiServices& services, QWidget* parent = nullptr);
    ~QuickPicker() override;

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

    CopyBack& m_copyBack;
    QuickPickerModel* m_model;
    QuickPickerView* m_view;
};
