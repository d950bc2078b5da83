#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// The "Rename screenshot" alert: a "Name" field pre-filled with the current
// name without its extension, and the buttons "Rename" and "Cancel".
class RenamePrompt : public QDialog {
    Q_OBJECT

public:
    RenamePrompt(const QString& name, QWidget* parent = nullptr);
    QString name() const;
    QLineEdit& field() const { return *m_field; }
    QPushButton& renameButton() const { return *m_rename; }
    QPushButton& cancelButton() const { return *m_cancel; }

private:
    QLineEdit* m_field = nullptr;
    QPushButton* m_rename = nullptr;
    QPushButton* m_cancel = nullptr;
};
