#include "ui/settings/ClipboardSection.h"

#include "history/CopyBack.h"
#include "settings/Prefs.h"
#include "ui/Palette.h"
#include "ui/settings/RecentAppsButton.h"
#include "ui/settings/SettingsMenu.h"
#include "ui/settings/SettingsRow.h"
#include "ui/settings/SettingsStyle.h"
#include "ui/settings/SettingsSwitch.h"
#include "ui/settings/SettingsSymbols.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
QString trimSpacesAndTabs(const QString& text) {
    const auto blank = [](QChar c) {
        return c == QLatin1Char(' ') || c == QLatin1Char('\t');
    };
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && blank(text.at(begin)))
        ++begin;
    while (end > begin && blank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}
} // namespace

ClipboardSection::ClipboardSection(Prefs& prefs, CopyBack& copyBack, ClipStore& store,
                                   AppIcons& icons, const QList<Capability>& capabilities,
                                   QWidget* parent)
    : QWidget(parent)
    , m_prefs(prefs)
    , m_copyBack(copyBack)
    , m_cannotPaste(tr("Quillet cannot press keys in other applications here, so "
                       "it only copies the item."))
    , m_history(new SettingsSwitch)
    , m_maxItems(new SettingsMenu({{tr("%n items", nullptr, 100), 100},
                                   {tr("%n items", nullptr, 500), 500},
                                   {tr("%n items", nullptr, 1000), 1000},
                                   {tr("%n items", nullptr, 2000), 2000}},
                                  [&prefs](qint64 n) { prefs.setMaxItems(n); }))
    , m_maxDays(new SettingsMenu({{tr("%n days", nullptr, 7), 7},
                                  {tr("%n days", nullptr, 30), 30},
                                  {tr("%n days", nullptr, 90), 90},
                                  {tr("1 year"), 365}},
                                 [&prefs](qint64 n) { prefs.setMaxDays(n); }))
    , m_exclusions(new QVBoxLayout)
    , m_newExclusion(new QLineEdit)
    , m_add(new QPushButton(tr("Add")))
    , m_recent(new RecentAppsButton(store, prefs, icons))
    , m_pasteDirectly(new SettingsSwitch)
    , m_pasteStatus(SettingsRow::note({})) {
    // The desktop's own reason, where it has one.
    for (const Capability& c : capabilities) {
        if (c.id == Capability::Id::pasteDirectly && !c.available && !c.reason.isEmpty())
            m_cannotPaste = c.reason;
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    SettingsRow::addRows(layout, {new SettingsRow(tr("Keep clipboard history"), {}, m_history),
                                  new SettingsRow(tr("Keep at most"), {}, m_maxItems),
                                  new SettingsRow(tr("Forget after"), {}, m_maxDays)});

    layout->addSpacing(14);
    layout->addWidget(SettingsRow::blockHeader(tr("Never record from these apps")));
    layout->addSpacing(6);
    m_exclusions->setSpacing(4);
    m_exclusions->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(m_exclusions);
    layout->addSpacing(6);

    auto* input = new QHBoxLayout;
    input->setSpacing(8);
    m_newExclusion->setPlaceholderText(tr("application id, e.g. org.gnome.TextEditor"));
    m_newExclusion->setFont(SettingsStyle::font(11.5));
    m_add->setFont(SettingsStyle::font(11.5));
    m_add->setAutoDefault(false);
    input->addWidget(m_newExclusion, 1);
    m_newExclusion->setAccessibleName(tr("Application to never record from"));
    input->addWidget(m_add);
    m_recent->setFont(SettingsStyle::font(11.5));
    input->addWidget(m_recent);
    layout->addLayout(input);
    layout->addSpacing(6);
    layout->addWidget(SettingsRow::note(
        tr("Password managers that mark the clipboard as concealed are always skipped, "
           "even if not listed.")));

    layout->addSpacing(14);
    layout->addWidget(SettingsRow::blockHeader(tr("Paste directly")));
    layout->addWidget(
        new SettingsRow(tr("Paste into the frontmost app on click"), {}, m_pasteDirectly));
    layout->addWidget(m_pasteStatus);
    layout->addStretch();

    connect(m_history, &SettingsSwitch::clicked, &m_prefs, &Prefs::setClipboardEnabled);
    connect(m_pasteDirectly, &SettingsSwitch::clicked, &m_prefs, &Prefs::setPasteDirectly);
    connect(m_newExclusion, &QLineEdit::returnPressed, this, &ClipboardSection::addExclusion);
    connect(m_add, &QPushButton::clicked, this, &ClipboardSection::addExclusion);
    connect(m_recent, &RecentAppsButton::chosen, this, &ClipboardSection::exclude);
    connect(&m_prefs, &Prefs::clipboardEnabledChanged, this, &ClipboardSection::refresh);
    connect(&m_prefs, &Prefs::maxItemsChanged, this, &ClipboardSection::refresh);
    connect(&m_prefs, &Prefs::maxDaysChanged, this, &ClipboardSection::refresh);
    connect(&m_prefs, &Prefs::pasteDirectlyChanged, this, &ClipboardSection::refresh);
    connect(&m_prefs, &Prefs::excludedAppsChanged, this, &ClipboardSection::rebuildExclusions);
    refresh();
    rebuildExclusions();
}

QString ClipboardSection::canPasteText() {
    return tr("Pasting works: Quillet presses Ctrl+V in the application you came "
              "from.");
}

QString ClipboardSection::cannotPasteText() const {
    return m_cannotPaste;
}

void ClipboardSection::addExclusion() {
    exclude(trimSpacesAndTabs(m_newExclusion->text()));
    m_newExclusion->clear();
}

void ClipboardSection::exclude(const QString& identifier) {
    QStringList apps = m_prefs.excludedApps();
    if (!identifier.isEmpty() && !apps.contains(identifier, Qt::CaseSensitive)) {
        apps.append(identifier);
        m_prefs.setExcludedApps(apps);
    }
}

void ClipboardSection::removeExclusion(const QString& identifier) {
    QStringList apps = m_prefs.excludedApps();
    apps.removeAll(identifier);
    m_prefs.setExcludedApps(apps);
}

void ClipboardSection::showEvent(QShowEvent* event) {
    // Whether pasting can work is asked each time the section comes into view.
    refreshPasteStatus();
    QWidget::showEvent(event);
}

void ClipboardSection::refresh() {
    m_history->setChecked(m_prefs.clipboardEnabled());
    m_maxItems->setValue(m_prefs.maxItems());
    m_maxDays->setValue(m_prefs.maxDays());
    m_pasteDirectly->setChecked(m_prefs.pasteDirectly());
    refreshPasteStatus();
}

void ClipboardSection::refreshPasteStatus() {
    // No desktop has a settings page that grants typing into other
    // applications, so there is no button to open one.
    const bool canPaste = m_copyBack.isTrusted();
    m_pasteStatus->setText(canPaste ? canPasteText() : cannotPasteText());
}

void ClipboardSection::rebuildExclusions() {
    while (QLayoutItem* item = m_exclusions->takeAt(0)) {
        if (QWidget* w = item->widget())
            w->deleteLater();
        delete item;
    }
    for (const QString& identifier : m_prefs.excludedApps()) {
        auto* line = new QWidget;
        line->setObjectName(QStringLiteral("exclusion"));
        line->setProperty("identifier", identifier);
        auto* row = new QHBoxLayout(line);
        row->setContentsMargins(0, 0, 0, 0);
        auto* label = new QLabel(identifier);
        SettingsStyle::style(label, 11.5, QFont::Normal, Palette::textSecondary());
        label->setTextFormat(Qt::PlainText);
        auto* remove = new QToolButton;
        remove->setObjectName(QStringLiteral("remove"));
        remove->setAutoRaise(true);
        remove->setIcon(
            SettingsSymbols::icon(QStringLiteral("minus.circle"), 14, Palette::textDim()));
        remove->setIconSize({14, 14});
        remove->setToolTip(tr("Remove"));
        remove->setCursor(Qt::PointingHandCursor);
        row->addWidget(label, 1);
        row->addWidget(remove);
        remove->setAccessibleName(tr("Remove %1").arg(identifier));
        // The rebuild this triggers deletes the clicked button only later (deleteLater).
        connect(remove, &QToolButton::clicked, this,
                [this, identifier] { removeExclusion(identifier); });
        m_exclusions->addWidget(line);
    }
}
