#include "widgets/shownfields.h"

#include <QMetaProperty>
#include <QTableWidgetItem>
#include <QWidget>

namespace {

QVariant shownValue(const QWidget *field)
{
    return field->metaObject()->userProperty().read(field);
}

} // namespace

void ShownFields::clear()
{
    widgets.clear();
    cells.clear();
}

void ShownFields::remember(const QWidget *field)
{
    widgets.insert(field, shownValue(field));
}

void ShownFields::remember(const QTableWidgetItem *cell, int role)
{
    cells.insert({ cell, role }, cell->data(role));
}

template<typename Key>
bool ShownFields::changed(QHash<Key, QVariant> &shown, const Key &key, const QVariant &now)
{
    const auto found = shown.constFind(key);
    if (found == shown.cend())
        return true;
    if (*found == now)
        return false;
    shown.erase(found);
    return true;
}

bool ShownFields::changed(const QWidget *field)
{
    return changed(widgets, field, shownValue(field));
}

bool ShownFields::changed(const QTableWidgetItem *cell, int role)
{
    return changed(cells, { cell, role }, cell->data(role));
}
