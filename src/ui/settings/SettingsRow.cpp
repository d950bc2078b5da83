#include "ui/settings/SettingsRow.h"

#include "ui/Palette.h"
#include "ui/settings/SettingsStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

SettingsRow::SettingsRow(const QString& title, const QString& help, QWidget* control,
                         QWidget* parent)
    : QWidget(parent)
    , m_title(new QLabel(title))
    , m_control(control) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 8, 0, 8);
    row->setSpacing(12);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(3);
    SettingsStyle::style(m_title, 12.5, QFont::Medium, Palette::ink());
    texts->addWidget(m_title);
    if (!help.isEmpty()) {
        auto* helpLabel = new QLabel(help);
        SettingsStyle::style(helpLabel, 10.5, QFont::Normal, Palette::textDim());
        helpLabel->setWordWrap(true);
        texts->addWidget(helpLabel);
    }
    row->addLayout(texts, 1);
    row->addWidget(control, 0, Qt::AlignVCenter);

    // The title names the control for a screen reader; in a box of several,
    // the first that takes the keyboard.
    QWidget* named = control;
    if (control->focusPolicy() == Qt::NoFocus) {
        const QList<QWidget*> inside = control->findChildren<QWidget*>();
        for (QWidget* w : inside) {
            if (w->focusPolicy() != Qt::NoFocus) {
                named = w;
                break;
            }
        }
    }
    m_title->setBuddy(named);
    if (named->accessibleName().isEmpty())
        named->setAccessibleName(title);
}

QString SettingsRow::title() const {
    return m_title->text();
}

void SettingsRow::addRows(QVBoxLayout* layout, const QList<SettingsRow*>& rows) {
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (i > 0)
            layout->addWidget(separator());
        layout->addWidget(rows[i]);
    }
}

QWidget* SettingsRow::separator(QWidget* parent) {
    auto* line = new QWidget(parent);
    line->setFixedHeight(1);
    line->setAutoFillBackground(true);
    QPalette p = line->palette();
    p.setColor(QPalette::Window, Palette::hairline());
    line->setPalette(p);
    return line;
}

QLabel* SettingsRow::blockHeader(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text.toUpper(), parent);
    SettingsStyle::style(label, 10, QFont::Bold, Palette::textDim());
    label->setFont(SettingsStyle::font(10, QFont::Bold, 1.2));
    return label;
}

QLabel* SettingsRow::note(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    SettingsStyle::style(label, 10.5, QFont::Normal, Palette::textDim());
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeading | Qt::AlignTop);
    return label;
}
