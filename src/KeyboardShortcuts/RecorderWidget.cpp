#include "KeyboardShortcuts/RecorderWidget.h"

#include "KeyboardShortcuts/Center.h"
#include "KeyboardShortcuts/KeyNaming.h"
#include "KeyboardShortcuts/Texts.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>

namespace KeyboardShortcuts {

namespace {

constexpr int kWidth = 130;
// Modifiers that make a key event not plain (anything but Caps Lock and the
// numeric-pad flag), and those that make a key a shortcut on its own
// (command, control, option, help).
constexpr quint32 kNotPlain = 0xFFDE0000;
constexpr quint32 kShortcutModifiers = 0xFF5C0000;
// F12 alone is often taken by a desktop's drop-down terminal, yet users want it.
constexpr int kF12 = 111;

quint32 flagsOf(Qt::KeyboardModifiers modifiers) {
    quint32 flags = 0;
    if (modifiers & Qt::ShiftModifier)
        flags |= ModifierFlag::shift;
    if (modifiers & Qt::ControlModifier)
        flags |= ModifierFlag::control;
    if (modifiers & Qt::AltModifier)
        flags |= ModifierFlag::option;
    // Qt reports the Super key as Meta on X11; it stands for command.
    if (modifiers & Qt::MetaModifier)
        flags |= ModifierFlag::command;
    if (modifiers & Qt::KeypadModifier)
        flags |= ModifierFlag::numericPad;
    return flags;
}

bool isModifierKey(int key) {
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
        return true;
    default:
        return false;
    }
}

} // namespace

RecorderWidget::RecorderWidget(Center& center, const Name& name, QWidget* parent)
    : QLineEdit(parent)
    , m_center(center)
    , m_name(name) {
    setPlaceholderText(localized("record_shortcut"));
    setAlignment(Qt::AlignCenter);
    setClearButtonEnabled(true);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    // The field holds a shortcut's name, never typed or pasted text.
    setAcceptDrops(false);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    if (m_center.keysAssignedByDesktop()) {
        // Keys pressed here would never reach the desktop's bindings.
        setReadOnly(true);
        setClearButtonEnabled(false);
        setFocusPolicy(Qt::NoFocus);
        setPlaceholderText(localized("set_by_desktop"));
        connect(&m_center, &Center::desktopTriggerDidChange, this, &RecorderWidget::showShortcut);
    }
    showShortcut();
    connect(&m_center, &Center::shortcutByNameDidChange, this, [this](const Name& changed) {
        if (changed == m_name)
            showShortcut();
    });
    connect(this, &QLineEdit::textEdited, this, &RecorderWidget::textWasEdited);
}

RecorderWidget::~RecorderWidget() {
    // Never leave the global shortcuts paused behind us.
    if (m_recording)
        endRecording();
}

void RecorderWidget::setShortcutName(const Name& name) {
    if (name.rawValue() == m_name.rawValue())
        return;
    m_name = name;
    showShortcut();
}

QSize RecorderWidget::sizeHint() const {
    return {kWidth, QLineEdit::sizeHint().height()};
}

void RecorderWidget::showShortcut() {
    if (m_center.keysAssignedByDesktop()) {
        setText(m_center.desktopTrigger());
        return;
    }
    const auto shortcut = m_center.getShortcut(m_name);
    setText(shortcut ? m_center.description(*shortcut) : QString());
}

void RecorderWidget::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    // A window hands its first focus to the first field; a recorder must be
    // chosen by the user, or it would swallow the next keys.
    if (event->reason() == Qt::ActiveWindowFocusReason && !m_focusRequested) {
        clearFocus();
        return;
    }
    m_focusRequested = false;
    startRecording();
}

void RecorderWidget::requestFocus() {
    // The window may become active only later (after an alert); its focus-in
    // must then resume recording instead of being refused.
    m_focusRequested = true;
    setFocus(Qt::OtherFocusReason);
    if (hasFocus())
        startRecording();
}

void RecorderWidget::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    endRecording();
    // When the window is left, it must not give the recorder its focus back.
    if (event->reason() == Qt::ActiveWindowFocusReason)
        clearFocus();
}

void RecorderWidget::startRecording() {
    if (m_recording || !window() || m_center.keysAssignedByDesktop())
        return;
    m_recording = true;
    setPlaceholderText(localized("press_shortcut"));
    m_center.setShortcutsPaused(true);
    qApp->installEventFilter(this);
    Q_EMIT m_center.recorderActiveStatusDidChange(true);
    Q_EMIT recordingChanged(true);
}

void RecorderWidget::endRecording() {
    if (!m_recording)
        return;
    m_recording = false;
    qApp->removeEventFilter(this);
    setPlaceholderText(localized("record_shortcut"));
    m_center.setShortcutsPaused(false);
    Q_EMIT m_center.recorderActiveStatusDidChange(false);
    Q_EMIT recordingChanged(false);
}

bool RecorderWidget::eventFilter(QObject* watched, QEvent* event) {
    if (m_recording && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton || mouse->button() == Qt::RightButton) {
            const QPoint local = mapFromGlobal(mouse->globalPosition().toPoint());
            if (!rect().adjusted(-3, -3, 3, 3).contains(local))
                clearFocus();
        }
    }
    return QLineEdit::eventFilter(watched, event);
}

bool RecorderWidget::event(QEvent* event) {
    // A middle click would paste the primary selection into the field.
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease ||
        event->type() == QEvent::MouseButtonDblClick) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton) {
            event->accept();
            return true;
        }
    }
    if (m_recording) {
        // Application shortcuts must not fire while a combination is recorded.
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            const bool plain = !(flagsOf(key->modifiers()) & kNotPlain);
            // A plain Tab moves focus on as usual, which ends recording.
            if (plain && key->key() == Qt::Key_Tab)
                return QLineEdit::event(event);
            handleKey(key);
            return true;
        }
    }
    return QLineEdit::event(event);
}

void RecorderWidget::handleKey(QKeyEvent* event) {
    event->accept();
    if (isModifierKey(event->key()))
        return;
    const quint32 flags = flagsOf(event->modifiers());
    if (!(flags & kNotPlain)) {
        switch (event->key()) {
        case Qt::Key_Escape:
            clearFocus();
            return;
        case Qt::Key_Backspace:
        case Qt::Key_Delete:
            if (!text().isEmpty()) {
                clear();
                textWasEdited(QString());
            }
            return;
        default:
            break;
        }
    }
    const auto keyCode = m_center.keyCodeForScanCode(event->nativeScanCode());
    if (!(flags & kShortcutModifiers) && !(keyCode && isFunctionKey(*keyCode))) {
        QApplication::beep();
        return;
    }
    if (!keyCode) {
        QApplication::beep();
        return;
    }
    const Shortcut shortcut = Shortcut::fromKeyEvent(*keyCode, flags);

    if (const auto item = m_center.menuItemUsing(shortcut)) {
        alert(localized("keyboard_shortcut_used_by_menu_item").arg(*item), QString(),
              {localized("ok")});
        return;
    }
    const bool f12Alone = shortcut.carbonKeyCode == kF12 && shortcut.carbonModifiers == 0;
    if (!f12Alone && !m_center.isAvailableSystemWide(shortcut)) {
        const int choice = alert(localized("keyboard_shortcut_used_by_system"),
                                 localized("keyboard_shortcuts_can_be_changed"),
                                 {localized("ok"), localized("force_use_shortcut")});
        if (choice != 1)
            return;
    }

    setText(m_center.description(shortcut));
    m_center.setShortcut(shortcut, m_name);
    Q_EMIT shortcutChanged(shortcut);
    clearFocus();
}

void RecorderWidget::textWasEdited(const QString& text) {
    if (!text.isEmpty())
        return;
    m_center.setShortcut(std::nullopt, m_name);
    Q_EMIT shortcutChanged(std::nullopt);
    // Clearing keeps (or starts) recording, ready for the new combination.
    requestFocus();
}

int RecorderWidget::alert(const QString& message, const QString& informative,
                          const QStringList& buttons) {
    clearFocus();
    QMessageBox box(QMessageBox::Warning, QString(), message, QMessageBox::NoButton, window());
    box.setInformativeText(informative);
    box.setWindowModality(Qt::WindowModal);
    QList<QPushButton*> added;
    for (const QString& title : buttons)
        added.append(box.addButton(title, QMessageBox::AcceptRole));
    box.setDefaultButton(added.value(0));
    box.setEscapeButton(added.value(0));
    box.exec();
    requestFocus();
    return int(added.indexOf(qobject_cast<QPushButton*>(box.clickedButton())));
}

} // namespace KeyboardShortcuts
