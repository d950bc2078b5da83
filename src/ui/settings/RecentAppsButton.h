#pragma once

#include "history/ClipItem.h"

#include <QPushButton>

class AppIcons;
class ClipStore;
class Prefs;

// Offers the applications the history has recorded copies from, newest
// first, for the exclusion list: nobody knows an application's id by heart.
class RecentAppsButton : public QPushButton {
    Q_OBJECT
public:
    struct App {
        QString id;
        QString name;
        friend bool operator==(const App&, const App&) = default;
    };

    RecentAppsButton(ClipStore& store, Prefs& prefs, AppIcons& icons, QWidget* parent = nullptr);

    // Each application once, by its latest copy, leaving out the excluded.
    static QList<App> recentApps(const ClipItemList& items, const QStringList& excluded, int limit);

Q_SIGNALS:
    void chosen(const QString& appId);

private:
    void fillMenu();

    ClipStore& m_store;
    Prefs& m_prefs;
    AppIcons& m_icons;
};
