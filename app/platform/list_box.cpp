#include "app/platform/list_box.h"

#include "app/platform/numbers.h"

#include <QAbstractListModel>
#include <QItemSelectionModel>

#include <vector>

class ListBox::Items : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(texts.size()); }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= int(texts.size()))
            return {};
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return texts[std::size_t(index.row())];
        return {};
    }

    void append(const QString &text)
    {
        const int row = int(texts.size());
        beginInsertRows({}, row, row);
        texts.push_back(text);
        endInsertRows();
    }

    void remove(int row)
    {
        beginRemoveRows({}, row, row);
        texts.erase(texts.begin() + row);
        endRemoveRows();
    }

    void clear()
    {
        if (texts.empty())
            return;
        beginResetModel();
        texts.clear();
        endResetModel();
    }

    std::vector<QString> texts;
};

ListBox::ListBox(QWidget *parent) : Twips<QListView>(parent), m_items(new Items(this))
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
}

ListBox::~ListBox()
{
    // The view lets go of the model before its own parts are torn down.
    if (model() == m_items) {
        QItemSelectionModel *previous = selectionModel();
        setModel(nullptr);
        delete previous;
    }
}

void ListBox::setVisible(bool visible)
{
    // Shown, the view follows the model; hidden, it lets go of it.
    if (visible != (model() == m_items)) {
        QItemSelectionModel *previous = selectionModel();
        setModel(visible ? m_items : nullptr);
        delete previous;
    }
    Twips<QListView>::setVisible(visible);
}

void ListBox::AddItem(const QString &item) { m_items->append(item); }

void ListBox::RemoveItem(int index)
{
    if (index < 0 || index >= ListCount())
        throw RuntimeError(RuntimeError::InvalidArgument, "Invalid procedure call or argument");
    m_items->remove(index);
}

void ListBox::Clear() { m_items->clear(); }

int ListBox::ListCount() const { return int(m_items->texts.size()); }

QString ListBox::List(int index) const
{
    if (index < 0 || index >= ListCount())
        throw RuntimeError(RuntimeError::BadListIndex, "Invalid property array index");
    return m_items->texts[std::size_t(index)];
}
