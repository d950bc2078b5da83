#include "ui/panel/DragOut.h"

#include <QDrag>
#include <QWidget>

namespace {
bool s_dragRunning = false;
}

void DragOut::run(QWidget* source, std::unique_ptr<QMimeData> mime) {
    if (!mime)
        return;
    auto* drag = new QDrag(source);
    drag->setMimeData(mime.release());
    s_dragRunning = true;
    drag->exec(Qt::CopyAction, Qt::CopyAction);
    s_dragRunning = false;
}

bool DragOut::isRunning() {
    return s_dragRunning;
}
