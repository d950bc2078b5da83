#pragma once

#include "history/ClipItem.h"

#include <QFrame>

// The preview that pops up beside a clip row: the image for an image item
// whose blob loads, else the text in a monospaced, selectable scroll view.
// Clicking elsewhere closes it.
class ClipPreviewPopover : public QFrame {
    Q_OBJECT

public:
    explicit ClipPreviewPopover(const ClipItem& item, QWidget* parent = nullptr);
    // Places the popover at the trailing edge of `rowInGlobal` and shows it.
    void popup(const QRect& rowInGlobal);
    bool showsImage() const { return m_showsImage; }

private:
    bool m_showsImage = false;
};
