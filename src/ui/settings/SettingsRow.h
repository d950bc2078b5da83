#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QVBoxLayout;

// One setting: title (and help text) on the left, the control on the right.
class SettingsRow : public QWidget {
    Q_OBJECT
public:
    SettingsRow(const QString& title, const QString& help, QWidget* control,
                QWidget* parent = nullptr);

    QWidget* control() const { return m_control; }
    QString title() const;

    // Adds the rows to the layout with a hairline between neighbours (none before the
    // first or after the last).
    static void addRows(QVBoxLayout* layout, const QList<SettingsRow*>& rows);
    // A 1-point hairline divider.
    static QWidget* separator(QWidget* parent = nullptr);
    // An upper-case block header.
    static QLabel* blockHeader(const QString& text, QWidget* parent = nullptr);
    // Small dim text that wraps, for notes and paragraphs.
    static QLabel* note(const QString& text, QWidget* parent = nullptr);

private:
    QLabel* m_title;
    QWidget* m_control;
};
