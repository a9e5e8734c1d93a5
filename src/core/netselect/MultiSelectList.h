#pragma once

#include <QList>
#include <QStringList>

namespace kavrel::netselect {

// A list box in which any number of entries can be selected.
struct MultiSelectList
{
    QStringList items;
    QList<bool> Selected; // one flag per item

    int ListCount() const { return int(items.size()); }
    void clear()
    {
        items.clear();
        Selected.clear();
    }
    void setItems(const QStringList &names)
    {
        items = names;
        Selected = QList<bool>(names.size(), false);
    }
    void setSelected(int index, bool on)
    {
        if (index >= 0 && index < Selected.size())
            Selected[index] = on;
    }
    // The selected entries in list order.
    QStringList selectedItems() const
    {
        QStringList out;
        for (int i = 0; i < items.size(); ++i) {
            if (Selected.value(i))
                out << items.at(i);
        }
        return out;
    }
};

} // namespace kavrel::netselect
