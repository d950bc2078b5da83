#pragma once

#include <QWidget>

class QLabel;

// A centred symbol, title and optional two-line subtitle shown where a tab
// has nothing to list.
class EmptyState : public QWidget {
    Q_OBJECT

public:
    EmptyState(const QString& symbol, qreal symbolSize, QWidget* parent = nullptr);
    void setTexts(const QString& title, const QString& subtitle);
    QString title() const;
    // Empty while the subtitle is hidden.
    QString subtitle() const;

private:
    QLabel* m_title = nullptr;
    QLabel* m_subtitle = nullptr;
};
