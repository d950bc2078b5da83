#include "ui/settings/RecentAppsButton.h"

#include "history/ClipStore.h"
#include "settings/Prefs.h"
#include "ui/AppIcons.h"

#include <QHash>
#include <QMenu>

#include <algorithm>

namespace {
constexpr int kMenuLimit = 10;
}

RecentAppsButton::RecentAppsButton(ClipStore& store, Prefs& prefs, AppIcons& icons, QWidget* parent)
    : QPushButton(tr("Recent"), parent)
    , m_store(store)
    , m_prefs(prefs)
    , m_icons(icons) {
    setAutoDefault(false);
    setToolTip(tr("Choose an application you copied from"));
    auto* menu = new QMenu(this);
    setMenu(menu);
    // Read when opened: the history changes while the settings stay open.
    connect(menu, &QMenu::aboutToShow, this, &RecentAppsButton::fillMenu);
}

QList<RecentAppsButton::App> RecentAppsButton::recentApps(const ClipItemList& items,
                                                          const QStringList& excluded, int limit) {
    struct Seen {
        App app;
        double latest = 0;
    };
    QHash<QString, Seen> seen;
    for (const ClipItem& item : items) {
        const QString id = item.sourceApp.value_or(QString());
        if (id.isEmpty() || excluded.contains(id, Qt::CaseSensitive))
            continue;
        Seen& s = seen[id];
        if (s.app.id.isEmpty() || item.createdAt > s.latest) {
            const QString name = item.sourceName.value_or(QString());
            s = {{id, name.isEmpty() ? id : name}, item.createdAt};
        }
    }
    QList<Seen> sorted = seen.values();
    std::sort(sorted.begin(), sorted.end(), [](const Seen& a, const Seen& b) {
        return a.latest != b.latest ? a.latest > b.latest : a.app.id < b.app.id;
    });
    QList<App> apps;
    for (const Seen& s : sorted) {
        if (apps.size() == limit)
            break;
        apps.append(s.app);
    }
    return apps;
}

void RecentAppsButton::fillMenu() {
    QMenu* list = menu();
    list->clear();
    const QList<App> apps = recentApps(m_store.items(), m_prefs.excludedApps(), kMenuLimit);
    if (apps.isEmpty())
        list->addAction(tr("No applications in the history yet"))->setEnabled(false);
    for (const App& app : apps) {
        QAction* action = list->addAction(m_icons.icon(app.id), app.name);
        // Two applications may share a name; the id tells them apart.
        action->setToolTip(app.id);
        connect(action, &QAction::triggered, this, [this, id = app.id] { Q_EMIT chosen(id); });
    }
    list->setToolTipsVisible(true);
}
