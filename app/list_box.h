#pragma once

#include "twips.h"

#include <QListWidget>

// A list box in the platform's terms: items kept in insertion order, added
// at the end, removed by position (later items move up), positions from 0.
// It works the same whether shown or hidden. A position outside the list
// raises a RuntimeError.
class ListBox : public Twips<QListWidget> {
public:
    explicit ListBox(QWidget *parent = nullptr);

    void AddItem(const QString &item);
    void RemoveItem(int index);
    void Clear();
    int ListCount() const;
    QString List(int index) const;
};
