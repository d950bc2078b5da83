#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// The clipboard owner of an application that serves large data slowly (an
// editor encoding on request, a remote connection): owns CLIPBOARD on an X
// connection of its own and sends every type incrementally, in small chunks
// spread evenly over about totalMs. Qt's own owner sends large chunks as
// fast as it can, so the pace cannot be set through it. Prints "served TYPE"
// when a transfer is complete. With understate it announces one byte as the
// size: the announcement is only a lower bound, and a hostile owner can send
// far more than it said.
// Returns the process's exit code once another client takes the clipboard.
int runSlowOwner(const QList<QPair<QString, QByteArray>>& offer, int totalMs,
                 bool understate = false);
