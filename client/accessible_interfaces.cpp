#include "client/accessible_interfaces.h"

#include "client/heard_views.h"
#include "client/picture_controls.h"
#include "client/seat_rows.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

namespace {

// ---------------------------------------------------------------- parts that are no widgets

// A part of a view that is no widget itself (a cell of the board's table, a row of the seat
// list): it reads its words and its place from the view whenever asked.
template <class View>
class PartInterface : public QAccessibleInterface
{
public:
    PartInterface(View *view, int index, QAccessible::Role role)
        : view_(view)
        , index_(index)
        , role_(role)
    {
    }

    bool isValid() const override { return view_; }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return parent() ? parent()->window() : nullptr; }
    QAccessibleInterface *focusChild() const override { return nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override { return view_ ? QAccessible::queryAccessibleInterface(view_) : nullptr; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text t) const override { return view_ && t == QAccessible::Name ? words() : QString(); }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override
    {
        if (!view_)
            return {};
        const QRect at = place();
        return QRect(view_->mapToGlobal(at.topLeft()), at.size());
    }
    QAccessible::Role role() const override { return role_; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.readOnly = true;
        state.invisible = !view_ || !view_->isVisible();
        return state;
    }

protected:
    // Asked only while the view lives.
    virtual QString words() const = 0;
    virtual QRect place() const = 0;

    QPointer<View> view_;
    int index_;

private:
    QAccessible::Role role_;
};

// The parts of a view, made when first asked for and registered with Qt's accessibility until the
// view's own interface goes.
class Parts
{
public:
    explicit Parts(int count)
        : ids_(size_t(count), 0)
    {
    }
    ~Parts()
    {
        for (const QAccessible::Id id : ids_) {
            if (id)
                QAccessible::deleteAccessibleInterface(id);
        }
    }
    Parts(const Parts &) = delete;
    Parts &operator=(const Parts &) = delete;

    QAccessibleInterface *at(int index, const std::function<QAccessibleInterface *()> &make) const
    {
        if (index < 0 || size_t(index) >= ids_.size())
            return nullptr;
        QAccessible::Id &id = ids_[size_t(index)];
        if (!id)
            id = QAccessible::registerAccessibleInterface(make());
        return QAccessible::accessibleInterface(id);
    }
    int indexOf(const QAccessibleInterface *part) const
    {
        for (size_t i = 0; i < ids_.size(); ++i) {
            if (ids_[i] && QAccessible::accessibleInterface(ids_[i]) == part)
                return int(i);
        }
        return -1;
    }

private:
    mutable std::vector<QAccessible::Id> ids_;
};

// ---------------------------------------------------------------- the board's words

// One cell of the table, numbered row by row.
class WordCellInterface : public PartInterface<WordTable>, public QAccessibleTableCellInterface
{
public:
    WordCellInterface(WordTable *view, int index)
        : PartInterface(view, index, QAccessible::Cell)
    {
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface *>(this) : nullptr;
    }

    bool isSelected() const override { return false; }
    QList<QAccessibleInterface *> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface *> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return index_ % WordTable::kColumns; }
    int rowIndex() const override { return index_ / WordTable::kColumns; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface *table() const override { return parent(); }

protected:
    QString words() const override { return view_->cell(rowIndex(), columnIndex()); }
    QRect place() const override { return view_->cellPlace(rowIndex(), columnIndex()); }
};

class WordTableInterface : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit WordTableInterface(WordTable *view)
        : QAccessibleWidget(view, QAccessible::Table)
        , cells_(view->rows() * WordTable::kColumns)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return QStringLiteral("Board");
        if (t == QAccessible::Description)
            return QStringLiteral("The round's ten words and your answers");
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return rowCount() * columnCount(); }
    QAccessibleInterface *child(int index) const override
    {
        return cells_.at(index, [this, index] { return new WordCellInterface(view(), index); });
    }
    int indexOfChild(const QAccessibleInterface *child) const override { return cells_.indexOf(child); }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        for (int i = 0; i < childCount(); ++i) {
            QAccessibleInterface *cell = child(i);
            if (cell->rect().contains(x, y))
                return cell;
        }
        return nullptr;
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    QAccessibleInterface *cellAt(int row, int column) const override
    {
        if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
            return nullptr;
        return child(row * columnCount() + column);
    }
    int selectedCellCount() const override { return 0; }
    QList<QAccessibleInterface *> selectedCells() const override { return {}; }
    QString columnDescription(int column) const override { return WordTable::columnHeading(column); }
    QString rowDescription(int row) const override { return QStringLiteral("word %1").arg(row + 1); }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return WordTable::kColumns; }
    int rowCount() const override { return view()->rows(); }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent *) override {}

private:
    WordTable *view() const { return static_cast<WordTable *>(widget()); }

    Parts cells_;
};

// ---------------------------------------------------------------- the seat rows

class SeatItemInterface : public PartInterface<SeatList>
{
public:
    SeatItemInterface(SeatList *view, int row)
        : PartInterface(view, row, QAccessible::ListItem)
    {
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = PartInterface::state();
        state.focusable = state.selectable = true;
        state.focused = state.selected = view_ && view_->hasFocus() && view_->currentRow() == index_;
        return state;
    }

protected:
    QString words() const override { return view_->items().value(index_); }
    QRect place() const override { return view_->itemPlace(index_); }
};

class SeatListInterface : public QAccessibleWidget
{
public:
    explicit SeatListInterface(SeatList *view)
        : QAccessibleWidget(view, QAccessible::List)
        , items_(SeatRows::kSeats)
    {
    }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? QStringLiteral("THE PLAYERS") : QAccessibleWidget::text(t);
    }
    int childCount() const override { return int(view()->items().size()); }
    QAccessibleInterface *child(int index) const override
    {
        if (index >= childCount())
            return nullptr;
        return items_.at(index, [this, index] { return new SeatItemInterface(view(), index); });
    }
    int indexOfChild(const QAccessibleInterface *child) const override { return items_.indexOf(child); }
    QAccessibleInterface *focusChild() const override { return view()->hasFocus() ? child(view()->currentRow()) : nullptr; }

private:
    SeatList *view() const { return static_cast<SeatList *>(widget()); }

    Parts items_;
};

// ---------------------------------------------------------------- pictures that act

class ClickLabelInterface : public QAccessibleWidget
{
public:
    explicit ClickLabelInterface(ClickLabel *label)
        : QAccessibleWidget(label, label->role())
    {
    }
    QString text(QAccessible::Text t) const override
    {
        const QString text = QAccessibleWidget::text(t);
        return t == QAccessible::Name && text.isEmpty() ? label()->text() : text;
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        if (label()->role() == QAccessible::CheckBox) {
            state.checkable = true;
            state.checked = label()->isChecked();
        }
        if (label()->role() == QAccessible::Link)
            state.linked = true;
        return state;
    }
    QStringList actionNames() const override
    {
        return {label()->role() == QAccessible::CheckBox ? toggleAction() : pressAction()};
    }
    void doAction(const QString &action) override
    {
        if (actionNames().contains(action))
            label()->click();
    }
    QStringList keyBindingsForAction(const QString &) const override { return {QStringLiteral("Space")}; }

private:
    ClickLabel *label() const { return static_cast<ClickLabel *>(widget()); }
};

QAccessibleInterface *interfaceFor(const QString &key, QObject *object)
{
    // Asked once for each class of the object, most derived first: answered for that one only.
    if (!object->isWidgetType() || key != QLatin1String(object->metaObject()->className()))
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    if (auto *table = qobject_cast<WordTable *>(widget))
        return new WordTableInterface(table);
    if (auto *list = qobject_cast<SeatList *>(widget))
        return new SeatListInterface(list);
    if (auto *label = qobject_cast<ClickLabel *>(widget); label && label->role() != QAccessible::NoRole)
        return new ClickLabelInterface(label);
    const QVariant role = widget->property(kAccessibleRole);
    if (role.isValid())
        return new QAccessibleWidget(widget, QAccessible::Role(role.toInt()));
    return nullptr;
}

} // namespace

void installAccessibleInterfaces()
{
    static const bool installed = [] {
        QAccessible::installFactory(&interfaceFor);
        return true;
    }();
    Q_UNUSED(installed);
}
