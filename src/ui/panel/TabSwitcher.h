#pragma once

#include "ui/panel/PanelTab.h"

#include <QWidget>

class PanelState;

// The header's two-button switch between the screenshots and clipboard tabs.
class TabSwitcher : public QWidget {
    Q_OBJECT

public:
    explicit TabSwitcher(PanelState& state, QWidget* parent = nullptr);
    // The button area of a tab, for clicks and tooltips.
    static QRect buttonRect(PanelTab tab);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    PanelState& m_state;
};
