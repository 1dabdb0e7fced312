#include "client/accessible_interfaces.h"

#include "client/heard_views.h"
#include "client/picture_controls.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWidget>

#include <array>

namespace {

// ---------------------------------------------------------------- the board's words

class WordTableInterface;

// One cell of the table: it reads its words from the table's view whenever asked.
class WordCellInterface : public QAccessibleInterface, public QAccessibleTableCellInterface
{
public:
    WordCellInterface(WordTable *view, int row, int column)
        : view_(view)
        , row_(row)
        , column_(column)
    {
    }

    bool isValid() const override { return view_; }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return table() ? table()->window() : nullptr; }
    QAccessibleInterface *focusChild() const override { return nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override { return table(); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        return view_ && t == QAccessible::Name ? view_->cell(row_, column_) : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override
    {
        if (!view_)
            return {};
        const QRect place = view_->cellPlace(row_, column_);
        return QRect(view_->mapToGlobal(place.topLeft()), place.size());
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.readOnly = true;
        state.invisible = !view_ || !view_->isVisible();
        return state;
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface *>(this) : nullptr;
    }

    bool isSelected() const override { return false; }
    QList<QAccessibleInterface *> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface *> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return column_; }
    int rowIndex() const override { return row_; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface *table() const override { return view_ ? QAccessible::queryAccessibleInterface(view_) : nullptr; }

private:
    QPointer<WordTable> view_;
    int row_;
    int column_;
};

class WordTableInterface : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit WordTableInterface(WordTable *view)
        : QAccessibleWidget(view, QAccessible::Table)
    {
    }
    ~WordTableInterface() override
    {
        for (const QAccessible::Id id : cells_) {
            if (id)
                QAccessible::deleteAccessibleInterface(id);
        }
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
        if (index < 0 || index >= childCount())
            return nullptr;
        return cellAt(index / columnCount(), index % columnCount());
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (int i = 0; i < childCount(); ++i) {
            if (cells_[size_t(i)] && QAccessible::accessibleInterface(cells_[size_t(i)]) == child)
                return i;
        }
        return -1;
    }
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
        QAccessible::Id &id = cells_[size_t(row * columnCount() + column)];
        if (!id)
            id = QAccessible::registerAccessibleInterface(new WordCellInterface(view(), row, column));
        return QAccessible::accessibleInterface(id);
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

    mutable std::array<QAccessible::Id, BoardState::kWords * WordTable::kColumns> cells_ {};
};

// ---------------------------------------------------------------- the seat rows

class SeatItemInterface : public QAccessibleInterface
{
public:
    SeatItemInterface(SeatList *view, int row)
        : view_(view)
        , row_(row)
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
    QString text(QAccessible::Text t) const override
    {
        return view_ && t == QAccessible::Name ? view_->items().value(row_) : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override
    {
        if (!view_)
            return {};
        const QRect place = view_->itemPlace(row_);
        return QRect(view_->mapToGlobal(place.topLeft()), place.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.readOnly = true;
        return state;
    }

private:
    QPointer<SeatList> view_;
    int row_;
};

class SeatListInterface : public QAccessibleWidget
{
public:
    explicit SeatListInterface(SeatList *view)
        : QAccessibleWidget(view, QAccessible::List)
    {
    }
    ~SeatListInterface() override
    {
        for (const QAccessible::Id id : items_) {
            if (id)
                QAccessible::deleteAccessibleInterface(id);
        }
    }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? QStringLiteral("THE PLAYERS") : QAccessibleWidget::text(t);
    }
    int childCount() const override { return int(view()->items().size()); }
    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= childCount() || size_t(index) >= items_.size())
            return nullptr;
        QAccessible::Id &id = items_[size_t(index)];
        if (!id)
            id = QAccessible::registerAccessibleInterface(new SeatItemInterface(view(), index));
        return QAccessible::accessibleInterface(id);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (size_t i = 0; i < items_.size(); ++i) {
            if (items_[i] && QAccessible::accessibleInterface(items_[i]) == child)
                return int(i);
        }
        return -1;
    }

private:
    SeatList *view() const { return static_cast<SeatList *>(widget()); }

    mutable std::array<QAccessible::Id, 6> items_ {};
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
