#pragma once

// The panel tests' wired services and helpers, on the offscreen platform.
#include "helpers/WiredServices.h"
#include "history/SqliteDatabase.h"
#include "ui/panel/PanelState.h"
#include "ui/picker/QuickPicker.h"

#include <QApplication>
#include <QImage>
#include <QTest>

// The wired services on the null platform; the picker tests write rows on a
// second connection to choose their creation times.
struct Fixture : WiredServices {
    PanelState state;
    int writes = 0;

    Fixture() {
        prefs().setMaxDays(100000); // the seeded clips are from 1970
        // A copy clears the clipboard, then writes it: count the writes.
        QObject::connect(&pasteboard(), &Pasteboard::changed, [this] {
            if (!pasteboard().types().isEmpty())
                ++writes;
        });
    }
    QString copied() { return pasteboard().string().value_or(QString()); }

    void sql(const QString& statement) {
        SqliteDatabase db;
        QVERIFY(db.open(store().databasePath()));
        db.exec(statement);
        store().reload();
    }

    // Text clips: text, creation time, pinned.
    void seed(const QList<std::tuple<const char*, double, bool>>& rows) {
        QStringList values;
        for (const auto& [text, at, pinned] : rows)
            values << QStringLiteral("('%1','text','%1',%2,%3)").arg(text).arg(at).arg(int(pinned));
        sql("INSERT INTO items(hash,kind,text,created_at,pinned) VALUES " + values.join(u','));
    }

    QuickPicker picker{ui};

    // A tab as the panel sizes it, shown.
    template <class View> std::unique_ptr<View> shown() {
        auto view = std::make_unique<View>(state, ui);
        view->resize(436, 480);
        view->show();
        if (!QTest::qWaitForWindowExposed(view.get()))
            qFatal("not shown");
        return view;
    }
};

inline void hover(QWidget* viewport, const QPoint& pos) {
    // A move to where the pointer already is (as seen by an earlier window at
    // the same place) is not delivered: come from elsewhere.
    QTest::mouseMove(viewport, QPoint(viewport->width() - 1, viewport->height() - 1));
    QTest::mouseMove(viewport, pos);
    QApplication::processEvents();
}

inline QString makePng(const QString& path, QColor color = Qt::red) {
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(color);
    image.save(path, "PNG");
    return path;
}

inline QStringList texts(const ClipItemList& items) {
    QStringList out;
    for (const ClipItem& item : items)
        out << item.text.value_or(QString());
    return out;
}
