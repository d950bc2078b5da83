#include "ui/panel/ClipboardView.h"

#include "history/ClipStore.h"
#include "history/CopyBack.h"
#include "ui/AppIcons.h"
#include "ui/DarkTheme.h"
#include "ui/Palette.h"
#include "ui/PanelFormat.h"
#include "ui/QuickLook.h"
#include "ui/Toast.h"
#include "ui/panel/ClipListModel.h"
#include "ui/panel/ClipListView.h"
#include "ui/panel/ClipPreviewPopover.h"
#include "ui/panel/ClipRowDelegate.h"
#include "ui/panel/EmptyState.h"
#include "ui/panel/PanelState.h"
#include "ui/panel/PanelStyle.h"
#include "ui/panel/SymbolButton.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {
// The 1-point divider under the search row, inset 10 on both sides.
class Hairline : public QWidget {
public:
    explicit Hairline(QWidget* parent = nullptr)
        : QWidget(parent) {
        setFixedHeight(1);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect().adjusted(10, 0, -10, 0), Palette::hairline());
    }
};

} // namespace

ClipboardView::ClipboardView(PanelState& state, UiServices& services, QWidget* parent)
    : QWidget(parent)
    , m_state(state)
    , m_ui(services)
    , m_model(new ClipListModel(services.store, this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(12, 9, 12, 9);
    header->setSpacing(8);
    auto* glass = new QLabel;
    glass->setPixmap(PanelStyle::symbol(QStringLiteral("magnifyingglass"), Palette::textDim(), 12,
                                        devicePixelRatioF()));
    header->addWidget(glass);
    m_search = new QLineEdit;
    m_search->setFrame(false);
    m_search->setFont(PanelStyle::font(12.5));
    m_search->setPlaceholderText(tr("Search text, files, apps\u2026"));
    m_search->setAttribute(Qt::WA_MacShowFocusRect, false);
    QPalette pal = m_search->palette();
    pal.setColor(QPalette::Base, Qt::transparent);
    pal.setColor(QPalette::Text, Palette::ink());
    pal.setColor(QPalette::PlaceholderText, Palette::textDim());
    m_search->setPalette(pal);
    m_search->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; border: none; }"));
    header->addWidget(m_search, 1);
    m_search->setAccessibleName(tr("Search history"));
    m_clearSearch = new SymbolButton(QStringLiteral("xmark.circle.fill"), Palette::textDim(), 12);
    header->addWidget(m_clearSearch);
    m_clearSearch->setToolTip(tr("Clear search"));
    auto* trash = new SymbolButton(QStringLiteral("trash"), Palette::textDim(), 11.5);
    trash->setObjectName(QStringLiteral("clearHistory"));
    trash->setToolTip(tr("Clear history"));
    header->addWidget(trash);
    layout->addLayout(header);
    layout->addWidget(new Hairline);

    m_body = new QStackedWidget;
    m_list = new ClipListView(*m_model);
    m_list->rowDelegate().setAppIconLookup(
        [&icons = m_ui.icons](const QString& appId) { return icons.icon(appId); });
    m_body->addWidget(m_list);
    m_empty = new EmptyState(QStringLiteral("doc.on.clipboard"), 32);
    m_body->addWidget(m_empty);
    layout->addWidget(m_body, 1);

    m_search->setText(m_state.searchText());
    m_model->setQuery(m_state.searchText());
    connect(m_search, &QLineEdit::textEdited, &m_state, &PanelState::setSearchText);
    connect(&m_state, &PanelState::searchTextChanged, this, [this] {
        if (m_search->text() != m_state.searchText())
            m_search->setText(m_state.searchText());
        m_model->setQuery(m_state.searchText());
        refresh();
    });
    // Typing makes the first match current, so Return copies it.
    connect(m_search, &QLineEdit::textEdited, this, [this] {
        m_navigated = false;
        m_list->selectFirst();
    });
    connect(m_clearSearch, &QToolButton::clicked, this, [this] { m_state.setSearchText({}); });
    connect(trash, &QToolButton::clicked, this, &ClipboardView::requestClear);
    connect(m_model, &ClipListModel::rebuilt, this, &ClipboardView::refresh);

    connect(m_list, &ClipListView::hovered, this, [this](const ClipItem& item) {
        const QUrl file = clipFileURL(item);
        if (file.isValid())
            m_state.setQuickLookURL(file);
    });
    connect(m_list, &ClipListView::copyRequested, this, &ClipboardView::copy);
    connect(m_list, &ClipListView::previewRequested, this, &ClipboardView::showPreview);
    connect(m_list, &ClipListView::quickLookRequested, this,
            [this](const QUrl& url) { m_ui.quickLook.preview(url); });
    connect(m_list, &ClipListView::pinToggled, this,
            [this](const ClipItem& item) { m_ui.store.setPinned(item.id, !item.pinned); });
    connect(m_list, &ClipListView::deleteRequested, this,
            [this](const ClipItem& item) { m_ui.store.deleteItem(item); });
    refresh();
}

bool ClipboardView::showsEmptyState() const {
    return m_body->currentWidget() == m_empty;
}

QString ClipboardView::emptyTitle() const {
    return m_empty->title();
}

QString ClipboardView::emptySubtitle() const {
    return m_empty->subtitle();
}

void ClipboardView::refresh() {
    m_clearSearch->setVisible(!m_state.searchText().isEmpty());
    if (m_model->clipCount() > 0) {
        m_body->setCurrentWidget(m_list);
        return;
    }
    if (m_model->storeIsEmpty())
        m_empty->setTexts(tr("Nothing copied yet"), tr("Everything you copy shows up here \u2014\n"
                                                       "text, images, files, links."));
    else
        m_empty->setTexts(tr("No matches"), {});
    m_body->setCurrentWidget(m_empty);
}

void ClipboardView::copy(const ClipItem& item) {
    QPointer<ClipboardView> self(this);
    m_ui.copyBack.chooseItem(
        item, [&toast = m_ui.toast] { toast.show(tr("Copied")); },
        [self] {
            if (self)
                Q_EMIT self->hideRequested();
        });
}

void ClipboardView::requestClear() {
    if (m_confirm)
        return;
    m_confirm = new QMessageBox(this);
    DarkTheme::apply(m_confirm, DarkTheme::panelPopupBackground());
    m_confirm->setAttribute(Qt::WA_DeleteOnClose);
    m_confirm->setIcon(QMessageBox::Warning);
    m_confirm->setWindowTitle(tr("Clear clipboard history?"));
    m_confirm->setText(tr("Clear clipboard history?"));
    m_confirm->setInformativeText(tr("Pinned items are kept. This cannot be undone."));
    QPushButton* clear =
        m_confirm->addButton(tr("Clear (keeps pinned)"), QMessageBox::DestructiveRole);
    QPushButton* cancel = m_confirm->addButton(tr("Cancel"), QMessageBox::RejectRole);
    m_confirm->setDefaultButton(cancel);
    m_confirm->setEscapeButton(cancel);
    connect(clear, &QPushButton::clicked, this, [this] { m_ui.store.clear(); });
    m_confirm->open();
}

bool ClipboardView::handleKey(QKeyEvent* event, bool inSearchField) {
    const int key = event->key();
    if (inSearchField && !m_navigated && !m_search->text().isEmpty() &&
        (key == Qt::Key_Space || key == Qt::Key_Delete))
        return false;
    if (!m_list->handleKey(event))
        return false;
    m_navigated = m_navigated || key == Qt::Key_Up || key == Qt::Key_Down;
    return true;
}

void ClipboardView::showPreview(const ClipItem& item, const QRect& rowInGlobal) {
    auto* popover = new ClipPreviewPopover(item, this);
    popover->popup(rowInGlobal);
}
