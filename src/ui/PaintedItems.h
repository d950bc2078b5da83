#pragma once

#include <QAccessible>
#include <QRect>
#include <QString>

// A widget that paints its items itself, with no child widget per item (the
// panel's tab switcher, the picker's rows), describes them through this so
// that assistive technology can name, place and press each one.
class PaintedItems {
public:
    virtual ~PaintedItems() = default;

    // PageTabList (items are tabs) or List (items are rows).
    virtual QAccessible::Role paintedItemsRole() const = 0;
    virtual int paintedItemCount() const = 0;
    virtual QString paintedItemName(int index) const = 0;
    // In the widget's coordinates.
    virtual QRect paintedItemRect(int index) const = 0;
    virtual bool paintedItemSelected(int index) const = 0;
    // What a click on the item does.
    virtual void activatePaintedItem(int index) = 0;
};
