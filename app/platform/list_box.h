#pragma once

#include "app/platform/twips.h"

#include <QListView>

// A list box in the platform's terms: items kept in insertion order, added
// at the end, removed by position (later items move up), positions from 0.
// It works the same whether shown or hidden. A position outside the list
// raises a RuntimeError.
//
// The items are plain strings in a light model. A hidden list box, as the
// game's arrangements and move history are, keeps no view of them up to date:
// the model is shown in the view only while the list box is visible, so
// adding and removing items costs the same whatever the list's length.
class ListBox : public Twips<QListView> {
    Q_OBJECT

public:
    explicit ListBox(QWidget *parent = nullptr);
    ~ListBox() override;

    void AddItem(const QString &item);
    void RemoveItem(int index);
    void Clear();
    int ListCount() const;
    QString List(int index) const;

    void setVisible(bool visible) override;

private:
    class Items;
    Items *m_items;
};
