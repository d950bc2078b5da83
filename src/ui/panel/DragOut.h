#pragma once

#include <QMimeData>

#include <memory>

class QWidget;

// Runs a drag out of the panel, offering what a copy would (ClipMime); the
// panel keeps itself open while one runs.
class DragOut {
public:
    // Nothing happens for a null mime (the clip's files are gone).
    static void run(QWidget* source, std::unique_ptr<QMimeData> mime);
    static bool isRunning();
};
