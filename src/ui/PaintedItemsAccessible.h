#pragma once

#include <QAccessibleWidget>
#include <QHash>

class PaintedItems;

// The accessible side of a PaintedItems widget: the widget with one child
// per painted item, a tab or a list item that can be pressed.
class PaintedItemsAccessible : public QAccessibleWidget {
public:
    PaintedItemsAccessible(QWidget* widget, PaintedItems& items);
    ~PaintedItemsAccessible() override;

    // Makes Qt use this interface for every PaintedItems widget; the first
    // call installs the factory, later ones do nothing.
    static void install();

    PaintedItems& items() const { return m_items; }

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

private:
    PaintedItems& m_items;
    // The items' interfaces, made on first request and owned by Qt's cache.
    mutable QHash<int, QAccessible::Id> m_children;
};
