#include "ui/panel/PanelView.h"

#include "ui/Palette.h"
#include "ui/panel/ClipboardView.h"
#include "ui/panel/PanelCard.h"
#include "ui/panel/PanelState.h"
#include "ui/panel/PanelStyle.h"
#include "ui/panel/RenamePrompt.h"
#include "ui/panel/ScreenshotGridView.h"
#include "ui/panel/ScreenshotsView.h"
#include "ui/panel/TabSwitcher.h"

#include <algorithm>

#include <QApplication>
#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {
QLabel* textLabel(const QString& text, const QFont& font, const QColor& color) {
    auto* label = new QLabel(text);
    label->setFont(font);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, color);
    label->setPalette(pal);
    return label;
}

QPushButton* footerButton(const QString& text) {
    auto* button = new QPushButton(text);
    button->setFlat(true);
    button->setFocusPolicy(Qt::TabFocus);
    button->setCursor(Qt::PointingHandCursor);
    button->setFont(PanelStyle::font(11, QFont::DemiBold));
    button->setStyleSheet(
        QStringLiteral("QPushButton { color: rgba(255,255,255,230); border: none; "
                       "background: transparent; padding: 0; }"));
    button->setStyleSheet(button->styleSheet() +
                          QStringLiteral("QPushButton:focus { text-decoration: underline; }"));
    return button;
}

QGraphicsDropShadowEffect* shadow(qreal opacity, qreal radius, qreal dy) {
    auto* effect = new QGraphicsDropShadowEffect;
    effect->setColor(Palette::black(float(opacity)));
    effect->setBlurRadius(radius * 2);
    effect->setOffset(0, dy);
    return effect;
}

// Where the desktop gives Quillet no global shortcut (most Wayland sessions),
// the footer must not promise one: it names the command to bind instead.
QString clipboardHint(const QList<Capability>& capabilities) {
    const bool noShortcut =
        std::any_of(capabilities.begin(), capabilities.end(), [](const Capability& c) {
            return c.id == Capability::Id::globalShortcut && !c.available;
        });
    return noShortcut ? PanelView::tr("\u00B7 bind a key to quillet --show-panel")
                      : PanelView::tr("\u00B7 \u2318\u21E7V opens this anywhere");
}
} // namespace

QString PanelView::versionLabel(const QString& applicationVersion) {
    return QStringLiteral("v") +
           (applicationVersion.isEmpty() ? QStringLiteral("1.0") : applicationVersion);
}

PanelView::PanelView(PanelState& state, UiServices& services, QWidget* parent)
    : QWidget(parent)
    , m_state(state)
    , m_clipboardHint(clipboardHint(services.capabilities)) {
    setFixedSize(panelWidth, panelHeight);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(16, 13, 16, 10);
    auto* title =
        textLabel(QStringLiteral("Quillet"), PanelStyle::font(17, QFont::Bold), Qt::white);
    title->setGraphicsEffect(shadow(0.35, 2, 1));
    header->addWidget(title);
    header->addStretch();
    header->addWidget(new TabSwitcher(m_state));
    layout->addLayout(header);

    m_tabs = new QStackedWidget;
    m_screenshots = new ScreenshotsView(m_state, services);
    m_clipboard = new ClipboardView(m_state, services);
    m_tabs->addWidget(m_screenshots);
    m_tabs->addWidget(m_clipboard);
    auto* cardRow = new QHBoxLayout;
    cardRow->setContentsMargins(12, 0, 12, 0);
    cardRow->addWidget(new PanelCard(m_tabs, services.toast));
    layout->addLayout(cardRow, 1);

    auto* footer = new QWidget;
    auto* footerRow = new QHBoxLayout(footer);
    footerRow->setContentsMargins(16, 10, 16, 10);
    footerRow->setSpacing(4);
    const QFont small = PanelStyle::font(10.5);
    m_version = textLabel(versionLabel(QCoreApplication::applicationVersion()), small,
                          Palette::textSecondary());
    m_hint = textLabel(QString(), small, Palette::textSecondary());
    footerRow->addWidget(m_version);
    footerRow->addWidget(m_hint);
    footerRow->addStretch();
    QPushButton* settings = footerButton(tr("Settings"));
    QPushButton* quit = footerButton(tr("Quit"));
    footerRow->addWidget(settings);
    footerRow->addSpacing(8);
    footerRow->addWidget(quit);
    footer->setGraphicsEffect(shadow(0.45, 2, 1));
    layout->addWidget(footer);

    connect(settings, &QPushButton::clicked, this, &PanelView::settingsRequested);
    connect(quit, &QPushButton::clicked, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    connect(&m_state, &PanelState::tabChanged, this, &PanelView::showTab);
    showTab();
}

QString PanelView::versionText() const {
    return m_version->text();
}

QString PanelView::hintText() const {
    return m_hint->text();
}

void PanelView::focusTab() {
    if (m_state.tab() == PanelTab::clipboard)
        m_clipboard->searchField().setFocus(Qt::OtherFocusReason);
    else if (!m_screenshots->showsEmptyState())
        m_screenshots->grid().setFocus(Qt::OtherFocusReason);
    else
        window()->setFocus(Qt::OtherFocusReason);
}

void PanelView::showTab() {
    const bool clipboard = m_state.tab() == PanelTab::clipboard;
    // The keyboard follows a switch made from within the tabs (Ctrl+Tab).
    const QWidget* focus = QApplication::focusWidget();
    const bool followTab = focus && (focus == window() || m_tabs->isAncestorOf(focus));
    m_tabs->setCurrentWidget(clipboard ? static_cast<QWidget*>(m_clipboard)
                                       : static_cast<QWidget*>(m_screenshots));
    m_hint->setText(clipboard ? m_clipboardHint : tr("\u00B7 drag shots into any app"));
    // Leaving a tab drops its passing state, as a rebuilt view would.
    if (clipboard && m_screenshots->renamePrompt())
        m_screenshots->renamePrompt()->reject();
    if (followTab)
        focusTab();
}

void PanelView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    // The window is rounded: outside the corners stays see-through.
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    p.setClipPath(shape);
    p.fillRect(rect(), QColor(14, 20, 40));
    const QImage& sky = PanelStyle::sky();
    if (!sky.isNull())
        p.drawImage(QRectF(rect()), sky);
}
