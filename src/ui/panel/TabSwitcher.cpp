#include "ui/panel/TabSwitcher.h"

#include "ui/PaintedItemsAccessible.h"
#include "ui/Palette.h"
#include "ui/panel/PanelState.h"
#include "ui/panel/PanelStyle.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace {
constexpr int pad = 3;
constexpr int buttonW = 36;
constexpr int buttonH = 26;
constexpr int gap = 2;

struct TabButton {
    PanelTab tab;
    const char* symbol;
    const char* help;
};
constexpr TabButton buttons[] = {
    {PanelTab::screenshots, "photo", QT_TRANSLATE_NOOP("TabSwitcher", "Screenshots")},
    {PanelTab::clipboard, "paperclip", QT_TRANSLATE_NOOP("TabSwitcher", "Clipboard")}};
} // namespace

TabSwitcher::TabSwitcher(PanelState& state, QWidget* parent)
    : QWidget(parent)
    , m_state(state) {
    setFixedSize(2 * pad + 2 * buttonW + gap, 2 * pad + buttonH);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(tr("Tabs"));
    PaintedItemsAccessible::install();
    connect(&m_state, &PanelState::tabChanged, this, qOverload<>(&QWidget::update));
}

QString TabSwitcher::paintedItemName(int index) const {
    return tr(buttons[index].help);
}

QRect TabSwitcher::paintedItemRect(int index) const {
    return buttonRect(buttons[index].tab);
}

bool TabSwitcher::paintedItemSelected(int index) const {
    return m_state.tab() == buttons[index].tab;
}

void TabSwitcher::activatePaintedItem(int index) {
    m_state.setTab(buttons[index].tab);
}

void TabSwitcher::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
        m_state.setTab(PanelTab::screenshots);
        break;
    case Qt::Key_Right:
        m_state.setTab(PanelTab::clipboard);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

QRect TabSwitcher::buttonRect(PanelTab tab) {
    const int i = tab == PanelTab::screenshots ? 0 : 1;
    return QRect(pad + i * (buttonW + gap), pad, buttonW, buttonH);
}

void TabSwitcher::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF all = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(Palette::hairline(), 1));
    p.setBrush(Palette::black(0.25f));
    p.drawRoundedRect(all, all.height() / 2, all.height() / 2);
    for (const TabButton& b : buttons) {
        const QRectF r = buttonRect(b.tab);
        const bool selected = m_state.tab() == b.tab;
        if (selected) {
            QLinearGradient g(r.topLeft(), r.topRight());
            g.setColorAt(0, Palette::blue());
            g.setColorAt(1, Palette::violet());
            p.setPen(Qt::NoPen);
            p.setBrush(g);
            p.drawRoundedRect(r, r.height() / 2, r.height() / 2);
        }
        PanelStyle::drawSymbol(p, r, QString::fromLatin1(b.symbol),
                               selected ? QColor(Qt::white) : Palette::textDim(), 13);
    }
    if (hasFocus()) {
        p.setPen(QPen(Palette::cyan(), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(all, all.height() / 2, all.height() / 2);
    }
}

void TabSwitcher::mouseReleaseEvent(QMouseEvent* event) {
    for (const TabButton& b : buttons) {
        if (buttonRect(b.tab).contains(event->position().toPoint()))
            m_state.setTab(b.tab);
    }
}

bool TabSwitcher::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        for (const TabButton& b : buttons) {
            if (buttonRect(b.tab).contains(help->pos())) {
                QToolTip::showText(help->globalPos(), tr(b.help), this);
                return true;
            }
        }
        QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}
