#include "list_box.h"

#include "numbers.h"

ListBox::ListBox(QWidget *parent) : Twips<QListWidget>(parent)
{
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
}

void ListBox::AddItem(const QString &item) { addItem(item); }

void ListBox::RemoveItem(int index)
{
    if (index < 0 || index >= count())
        throw RuntimeError(RuntimeError::InvalidArgument, "Invalid procedure call or argument");
    delete takeItem(index);
}

void ListBox::Clear() { clear(); }

int ListBox::ListCount() const { return count(); }

QString ListBox::List(int index) const
{
    if (index < 0 || index >= count())
        throw RuntimeError(RuntimeError::BadListIndex, "Invalid property array index");
    return item(index)->text();
}
