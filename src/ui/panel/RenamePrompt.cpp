#include "ui/panel/RenamePrompt.h"

#include "ui/DarkTheme.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

RenamePrompt::RenamePrompt(const QString& name, QWidget* parent)
    : QDialog(parent) {
    DarkTheme::apply(this, DarkTheme::panelPopupBackground());
    setWindowTitle(tr("Rename screenshot"));
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(tr("Rename screenshot"));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    layout->addWidget(title);
    auto* form = new QFormLayout;
    m_field = new QLineEdit(name);
    m_field->selectAll();
    form->addRow(tr("Name"), m_field);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox;
    m_cancel = buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    m_rename = buttons->addButton(tr("Rename"), QDialogButtonBox::AcceptRole);
    m_rename->setDefault(true);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    setMinimumWidth(300);
}

QString RenamePrompt::name() const {
    return m_field->text();
}
