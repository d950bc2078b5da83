#pragma once

#include <QColor>
#include <QToolButton>

// A plain, borderless button showing one bundled symbol. Its tooltip is also
// its accessible name; Tab reaches it and draws a ring around it.
class SymbolButton : public QToolButton {
    Q_OBJECT

public:
    SymbolButton(const QString& symbol, const QColor& color, qreal pixelSize,
                 QWidget* parent = nullptr);
    void setSymbol(const QString& symbol, const QColor& color);
    QString symbol() const { return m_symbol; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    QString m_symbol;
    QColor m_color;
    qreal m_pixelSize;
};
