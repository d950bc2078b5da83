#pragma once

#include "history/ClipItem.h"

#include <QList>
#include <QUrl>

class QMimeData;
class QWidget;

// What the panel hands to other applications, by drag or clipboard.
namespace PanelMime {
// File references as text/uri-list plus the file managers' copied-files
// form, and for PNG files the image itself.
QMimeData* forFiles(const QList<QUrl>& files, bool withPngImage);
// A clip row's drag: its file, else its blob file, else its text.
QMimeData* forClip(const ClipItem& item);
} // namespace PanelMime

// Runs a drag out of the panel; the panel keeps itself open while one runs.
class DragOut {
public:
    static void run(QWidget* source, QMimeData* mime);
    static bool isRunning();
};
