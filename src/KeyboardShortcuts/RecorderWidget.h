#pragma once

#include "KeyboardShortcuts/Name.h"

#include <QLineEdit>

#include <optional>

namespace KeyboardShortcuts {

class Center;

// The field in which the user sets a name's shortcut. It shows the shortcut's
// text with a clear button; while it has focus it records: the next key
// combination is checked and either stored for the name or refused (a beep
// or an alert). Global shortcuts are paused meanwhile. Where the desktop
// decides the keys, the field only shows what it assigned.
//
//   auto* recorder = new KeyboardShortcuts::RecorderWidget(center, Name("openPanel"), this);
class RecorderWidget : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(bool recording READ isRecording NOTIFY recordingChanged)
public:
    RecorderWidget(Center& center, const Name& name, QWidget* parent = nullptr);
    ~RecorderWidget() override;

    const Name& shortcutName() const { return m_name; }
    // Another name shows its shortcut at once; the same name changes nothing.
    void setShortcutName(const Name& name);
    bool isRecording() const { return m_recording; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

Q_SIGNALS:
    // After the user set (or, with nothing, cleared) the shortcut.
    void shortcutChanged(const std::optional<KeyboardShortcuts::Shortcut>& shortcut);
    void recordingChanged(bool recording);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void showShortcut();
    void startRecording();
    void endRecording();
    void handleKey(QKeyEvent* event);
    void textWasEdited(const QString& text);
    void requestFocus();
    // Ends recording around a modal alert and resumes it after; returns the
    // index of the chosen button.
    int alert(const QString& message, const QString& informative, const QStringList& buttons);

    Center& m_center;
    Name m_name;
    bool m_recording = false;
    bool m_focusRequested = false;
};

} // namespace KeyboardShortcuts
