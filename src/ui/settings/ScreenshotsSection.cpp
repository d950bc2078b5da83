#include "ui/settings/ScreenshotsSection.h"

#include "screenshots/ScreenshotWatcher.h"
#include "settings/Prefs.h"
#include "ui/Palette.h"
#include "ui/settings/SettingsMenu.h"
#include "ui/settings/SettingsRow.h"
#include "ui/settings/SettingsStyle.h"
#include "ui/settings/SettingsSwitch.h"

#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace {
// One line of text, truncated in the middle so both the start and the folder's own name
// stay readable.
class MiddleElidedLabel : public QLabel {
public:
    using QLabel::QLabel;
    QSize sizeHint() const override {
        return {qMin(230, fontMetrics().horizontalAdvance(text()) + 2), fontMetrics().height()};
    }
    QSize minimumSizeHint() const override { return {40, fontMetrics().height()}; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setFont(font());
        p.setPen(palette().color(QPalette::WindowText));
        const QString shown = fontMetrics().elidedText(text(), Qt::ElideMiddle, width());
        p.drawText(rect(), Qt::AlignRight | Qt::AlignVCenter, shown);
    }
};
} // namespace

ScreenshotsSection::ScreenshotsSection(Prefs& prefs, ScreenshotWatcher& watcher, QWidget* parent)
    : QWidget(parent)
    , m_prefs(prefs)
    , m_watcher(watcher)
    , m_autoCopy(new SettingsSwitch)
    , m_folder(new MiddleElidedLabel)
    , m_origin(new QLabel)
    , m_dedicatedFolder(new SettingsSwitch)
    , m_autoDelete(new SettingsMenu({{tr("Never"), 0},
                                     {tr("after %n days", nullptr, 7), 7},
                                     {tr("after %n days", nullptr, 30), 30},
                                     {tr("after %n days", nullptr, 90), 90}},
                                    [&prefs](qint64 days) { prefs.setAutoDeleteDays(days); })) {
    SettingsStyle::style(m_folder, 11, QFont::Normal, Palette::textSecondary());
    m_folder->setMaximumWidth(230);
    m_folder->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    SettingsStyle::style(m_origin, 10.5, QFont::Normal, Palette::textDim());
    m_origin->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The path, and under it which tool's setting it comes from.
    auto* folderBox = new QWidget;
    auto* folderLines = new QVBoxLayout(folderBox);
    folderLines->setContentsMargins(0, 0, 0, 0);
    folderLines->setSpacing(2);
    folderLines->addWidget(m_folder, 0, Qt::AlignRight);
    folderLines->addWidget(m_origin, 0, Qt::AlignRight);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    SettingsRow::addRows(
        layout,
        {new SettingsRow(tr("Copy new screenshots to the clipboard"), {}, m_autoCopy),
         new SettingsRow(tr("Watched folder"), {}, folderBox),
         new SettingsRow(tr("Keep screenshots in a dedicated folder"),
                         tr("Changes where your screenshot tool saves screenshots: a Screenshots "
                            "folder in your Pictures folder. Turning it off puts back the folder "
                            "your tool used before. GNOME Shell always saves there and cannot be "
                            "changed."),
                         m_dedicatedFolder),
         new SettingsRow(tr("Auto-delete screenshots"),
                         tr("Old screenshots go to the Trash, never deleted outright."),
                         m_autoDelete)});
    layout->addStretch();

    connect(m_autoCopy, &SettingsSwitch::clicked, &m_prefs, &Prefs::setAutoCopyScreenshots);
    // Only a change the user makes here moves the save location; showing the window or a
    // change stored elsewhere does not.
    connect(m_dedicatedFolder, &SettingsSwitch::clicked, this, [this](bool on) {
        m_prefs.setDedicatedFolder(on);
        m_watcher.applyDedicatedFolder(on);
        refresh(); // the watcher may have moved to the new folder
    });
    connect(&m_prefs, &Prefs::autoCopyScreenshotsChanged, this, &ScreenshotsSection::refresh);
    connect(&m_prefs, &Prefs::dedicatedFolderChanged, this, &ScreenshotsSection::refresh);
    connect(&m_prefs, &Prefs::autoDeleteDaysChanged, this, &ScreenshotsSection::refresh);
    refresh();
}

QString ScreenshotsSection::watchedFolderText() const {
    return m_folder->text();
}

QString ScreenshotsSection::watchedFolderOriginText() const {
    return m_origin->text();
}

void ScreenshotsSection::showEvent(QShowEvent* event) {
    refresh();
    QWidget::showEvent(event);
}

void ScreenshotsSection::refresh() {
    m_autoCopy->setChecked(m_prefs.autoCopyScreenshots());
    m_dedicatedFolder->setChecked(m_prefs.dedicatedFolder());
    m_autoDelete->setValue(m_prefs.autoDeleteDays());
    const QString folder = m_watcher.dir().toLocalFile();
    m_folder->setText(QDir::toNativeSeparators(folder));
    m_folder->setToolTip(m_folder->text());
    m_origin->setText(m_watcher.dirOrigin());
    m_folder->updateGeometry();
    m_folder->update();
}
