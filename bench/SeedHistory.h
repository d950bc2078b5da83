#pragma once

#include "history/SqliteDatabase.h"
#include "history/SqliteStatement.h"
#include "thumbnails/Sha256.h"

#include <QDateTime>
#include <QString>

// Fills an existing history database with `rows` text clips, one second
// apart and newest last, in one transaction on a connection of its own:
// recording each row through the store would measure the seeding instead.
inline void seedTextHistory(const QString& databasePath, int rows) {
    SqliteDatabase db;
    if (!db.open(databasePath))
        return;
    db.exec(QStringLiteral("BEGIN"));
    const double now = QDateTime::currentMSecsSinceEpoch() / 1000.0;
    for (int i = 0; i < rows; ++i) {
        SqliteStatement ins = db.prepare(
            QStringLiteral("INSERT INTO items(hash,kind,text,source_app,source_name,created_at) "
                           "VALUES(?,'text',?,?,?,?)"));
        const QString text = QStringLiteral("seed text number %1 with some words in it").arg(i);
        ins.bindText(1, sha256Hex(("text:" + text).toUtf8()));
        ins.bindText(2, text);
        ins.bindText(3, QStringLiteral("org.example.Editor"));
        ins.bindText(4, QStringLiteral("Editor"));
        ins.bindDouble(5, now - rows + i);
        ins.step();
    }
    db.exec(QStringLiteral("COMMIT"));
}
