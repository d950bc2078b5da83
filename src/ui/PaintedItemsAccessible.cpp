#include "ui/PaintedItemsAccessible.h"

#include "ui/PaintedItems.h"

#include <QWidget>

namespace {
// One painted item: a tab or a row, with the press action a click has.
class PaintedItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    PaintedItemAccessible(PaintedItemsAccessible* parent, int index)
        : m_parent(parent)
        , m_index(index) {}

    bool isValid() const override {
        return m_parent->isValid() && m_index < m_parent->items().paintedItemCount();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_parent->window(); }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return m_parent; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    void setText(QAccessible::Text, const QString&) override {}

    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name && isValid() ? m_parent->items().paintedItemName(m_index)
                                                   : QString();
    }
    QRect rect() const override {
        if (!isValid())
            return {};
        const QRect r = m_parent->items().paintedItemRect(m_index);
        return QRect(widget()->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override {
        return m_parent->items().paintedItemsRole() == QAccessible::PageTabList
                   ? QAccessible::PageTab
                   : QAccessible::ListItem;
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.selectable = true;
        s.selected = isValid() && m_parent->items().paintedItemSelected(m_index);
        s.invisible = !widget()->isVisible();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction() && isValid())
            m_parent->items().activatePaintedItem(m_index);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QWidget* widget() const { return static_cast<QWidget*>(m_parent->object()); }

    PaintedItemsAccessible* m_parent;
    int m_index;
};

QAccessibleInterface* paintedItemsFactory(const QString&, QObject* object) {
    auto* items = dynamic_cast<PaintedItems*>(object);
    if (!items || !object->isWidgetType())
        return nullptr;
    return new PaintedItemsAccessible(static_cast<QWidget*>(object), *items);
}
} // namespace

PaintedItemsAccessible::PaintedItemsAccessible(QWidget* widget, PaintedItems& items)
    : QAccessibleWidget(widget, items.paintedItemsRole())
    , m_items(items) {}

PaintedItemsAccessible::~PaintedItemsAccessible() {
    for (QAccessible::Id id : std::as_const(m_children))
        QAccessible::deleteAccessibleInterface(id);
}

void PaintedItemsAccessible::install() {
    static const bool installed = [] {
        QAccessible::installFactory(paintedItemsFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

int PaintedItemsAccessible::childCount() const {
    return m_items.paintedItemCount();
}

QAccessibleInterface* PaintedItemsAccessible::child(int index) const {
    if (index < 0 || index >= childCount())
        return nullptr;
    auto it = m_children.constFind(index);
    if (it == m_children.constEnd()) {
        auto* item = new PaintedItemAccessible(const_cast<PaintedItemsAccessible*>(this), index);
        it = m_children.insert(index, QAccessible::registerAccessibleInterface(item));
    }
    return QAccessible::accessibleInterface(*it);
}

int PaintedItemsAccessible::indexOfChild(const QAccessibleInterface* child) const {
    for (auto it = m_children.constBegin(); it != m_children.constEnd(); ++it) {
        if (QAccessible::accessibleInterface(it.value()) == child)
            return it.key();
    }
    return -1;
}

QAccessibleInterface* PaintedItemsAccessible::childAt(int x, int y) const {
    const QPoint local = widget()->mapFromGlobal(QPoint(x, y));
    for (int i = 0; i < childCount(); ++i) {
        if (m_items.paintedItemRect(i).contains(local))
            return child(i);
    }
    return nullptr;
}
