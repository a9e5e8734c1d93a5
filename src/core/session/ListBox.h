#pragma once

#include <QStringList>

namespace kavrel {

// The headless form of one list or combo box of a window: its items, the
// selected index (-1 for none) and whether it is enabled. Selecting from code
// goes through the owning window state, which runs the selection's handling.
struct ListBox
{
    QStringList items;
    int ListIndex = -1;
    bool enabled = true;

    int ListCount() const { return int(items.size()); }
    bool isEmpty() const { return items.isEmpty(); }
    const QString &item(int i) const { return items.at(i); }
    QString selectedText() const
    {
        return (ListIndex >= 0 && ListIndex < items.size()) ? items.at(ListIndex) : QString();
    }
    void clear()
    {
        items.clear();
        ListIndex = -1;
    }
    void addItem(const QString &text) { items.append(text); }
    void insertItem(int index, const QString &text) { items.insert(index, text); }
    void removeItem(int index)
    {
        items.removeAt(index);
        if (ListIndex >= items.size())
            ListIndex = int(items.size()) - 1;
    }
};

// A label: caption and enabled flag.
struct Label
{
    QString Caption;
    bool enabled = true;
};

} // namespace kavrel
