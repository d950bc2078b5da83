#pragma once

#include "ui/PaintedItems.h"
#include "ui/panel/PanelTab.h"

#include <QWidget>

class PanelState;

// The header's two-button switch between the screenshots and clipboard tabs.
// Painted, one focus stop: the arrow keys switch while it has the keyboard.
class TabSwitcher : public QWidget, public PaintedItems {
    Q_OBJECT

public:
    explicit TabSwitcher(PanelState& state, QWidget* parent = nullptr);
    // The button area of a tab, for clicks and tooltips.
    static QRect buttonRect(PanelTab tab);

    QAccessible::Role paintedItemsRole() const override { return QAccessible::PageTabList; }
    int paintedItemCount() const override { return 2; }
    QString paintedItemName(int index) const override;
    QRect paintedItemRect(int index) const override;
    bool paintedItemSelected(int index) const override;
    void activatePaintedItem(int index) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    PanelState& m_state;
};
