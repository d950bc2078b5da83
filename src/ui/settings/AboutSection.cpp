#include "ui/settings/AboutSection.h"

#include "platform/CapabilityReport.h"
#include "ui/Palette.h"
#include "ui/settings/SettingsStyle.h"
#include "ui/settings/SettingsSymbols.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

AboutSection::AboutSection(const QList<Capability>& capabilities, QWidget* parent)
    : QWidget(parent)
    , m_version(new QLabel(versionText()))
    , m_checkForUpdates(new QPushButton(tr("Check for Updates…")))
    , m_link(new QLabel) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 16, 0, 16);
    layout->setSpacing(6);
    layout->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    auto* icon = new QLabel;
    // A 32-point symbol is about 38 points tall.
    icon->setPixmap(
        SettingsSymbols::pixmap(QStringLiteral("paperclip"), 38, Qt::white, devicePixelRatioF()));
    icon->setAlignment(Qt::AlignCenter);
    layout->addSpacing(10);
    layout->addWidget(icon, 0, Qt::AlignHCenter);

    auto* name = new QLabel(QStringLiteral("Quillet"));
    SettingsStyle::style(name, 18, QFont::Bold, Qt::white);
    layout->addWidget(name, 0, Qt::AlignHCenter);

    SettingsStyle::style(m_version, 11.5, QFont::Normal, Palette::textSecondary());
    layout->addWidget(m_version, 0, Qt::AlignHCenter);

    auto* note = new QLabel(tr("Screenshots + clipboard history, all on this "
                               "computer.\nNo telemetry — only an anonymous update "
                               "check."));
    SettingsStyle::style(note, 10.5, QFont::Normal, Palette::textDim());
    note->setAlignment(Qt::AlignCenter);
    layout->addWidget(note, 0, Qt::AlignHCenter);

    auto* actions = new QHBoxLayout;
    actions->setSpacing(14);
    m_checkForUpdates->setFont(SettingsStyle::font(12));
    m_checkForUpdates->setAutoDefault(false);
    actions->addWidget(m_checkForUpdates);

    const QUrl page = homePage();
    QString label = page.toString(QUrl::RemoveScheme | QUrl::StripTrailingSlash);
    if (label.startsWith(QLatin1String("//")))
        label = label.mid(2);
    m_link->setText(QStringLiteral("<a href=\"%1\" style=\"color:%2; text-decoration:none\">%3</a>")
                        .arg(page.toString(QUrl::FullyEncoded).toHtmlEscaped(),
                             Palette::cyan().name(), label.toHtmlEscaped()));
    m_link->setFont(SettingsStyle::font(11.5, QFont::Medium));
    m_link->setTextFormat(Qt::RichText);
    m_link->setOpenExternalLinks(true);
    m_link->setTextInteractionFlags(Qt::TextBrowserInteraction);
    m_link->setAccessibleName(label);
    m_link->setCursor(Qt::PointingHandCursor);
    // A build without a project address shows no link rather than a dead one.
    m_link->setVisible(!page.isEmpty());
    actions->addWidget(m_link);
    layout->addSpacing(8);
    layout->addLayout(actions);
    layout->setAlignment(actions, Qt::AlignHCenter);

    // What this desktop lets Quillet do, so nothing fails without a word.
    auto* desktop = new QWidget;
    desktop->setFixedWidth(340);
    auto* rows = new QVBoxLayout(desktop);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(1);
    auto* heading = new QLabel(tr("This desktop"));
    SettingsStyle::style(heading, 12, QFont::DemiBold, Qt::white);
    rows->addWidget(heading);
    rows->addSpacing(4);
    for (const Capability& c : capabilities) {
        auto* row = new QLabel(QStringLiteral("%1  %2 — %3")
                                   .arg(c.available ? QStringLiteral("✓") : QStringLiteral("✕"),
                                        CapabilityReport::title(c.id),
                                        c.available ? c.how : tr("not available")));
        SettingsStyle::style(row, 11, QFont::Normal,
                             c.available ? Palette::textSecondary() : Palette::textDim());
        row->setToolTip(c.reason);
        rows->addWidget(row);
        auto* why = new QLabel(c.reason);
        SettingsStyle::style(why, 10, QFont::Normal, Palette::textDim());
        why->setWordWrap(true);
        why->setContentsMargins(18, 0, 0, 5);
        rows->addWidget(why);
        m_desktopRows.append(row);
    }
    layout->addSpacing(14);
    layout->addWidget(desktop, 0, Qt::AlignHCenter);
    layout->addStretch();

    connect(m_checkForUpdates, &QPushButton::clicked, this,
            &AboutSection::checkForUpdatesRequested);
}

QString AboutSection::versionText() {
    const QString version = QCoreApplication::applicationVersion();
    return tr("Version %1").arg(version.isEmpty() ? QStringLiteral("1.0") : version);
}

QUrl AboutSection::homePage() {
    return QUrl(QStringLiteral(QUILLET_HOMEPAGE_URL));
}
