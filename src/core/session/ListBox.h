#pragma once

#include <QList>
#include <QStringList>

#include <initializer_list>

namespace kavrel {

// The rows of the number column of a title list: per row the indent (a count
// of blanks) and the text after it. A row k deep in a thread stores the number
// k, not k blanks; the full text is made only for the rows asked for.
class IndentedItems
{
public:
    IndentedItems() = default;
    IndentedItems(std::initializer_list<QString> items)
    {
        for (const QString &item : items)
            append(item);
    }
    IndentedItems(const QStringList &items) // NOLINT: stands in for a QStringList
    {
        reserve(items.size());
        for (const QString &item : items)
            append(item);
    }
    IndentedItems &operator=(std::initializer_list<QString> items)
    {
        *this = IndentedItems(items);
        return *this;
    }
    IndentedItems &operator=(const QStringList &items)
    {
        *this = IndentedItems(items);
        return *this;
    }
    operator QStringList() const // NOLINT: stands in for a QStringList
    {
        QStringList out;
        out.reserve(size());
        for (qsizetype i = 0; i < size(); ++i)
            out.append(at(i));
        return out;
    }

    // A row's full text: its indent of blanks, then its text.
    QString at(qsizetype i) const
    {
        const int n = m_indents.at(i);
        return n == 0 ? m_texts.at(i) : QString(n, u' ') + m_texts.at(i);
    }
    QString value(qsizetype i) const { return (i >= 0 && i < size()) ? at(i) : QString(); }
    QString operator[](qsizetype i) const { return at(i); }
    int indentAt(qsizetype i) const { return m_indents.at(i); }
    // The row's text after its indent.
    const QString &textAt(qsizetype i) const { return m_texts.at(i); }

    // A row whose text is assigned as a whole, indent and all.
    class Ref
    {
    public:
        Ref(IndentedItems &items, qsizetype i)
            : m_items(items)
            , m_i(i)
        {
        }
        Ref &operator=(const QString &text)
        {
            m_items.replace(m_i, text);
            return *this;
        }
        operator QString() const { return m_items.at(m_i); }

    private:
        IndentedItems &m_items;
        qsizetype m_i;
    };
    Ref operator[](qsizetype i) { return Ref(*this, i); }

    class const_iterator
    {
    public:
        using value_type = QString;
        using difference_type = qsizetype;
        const_iterator(const IndentedItems *items, qsizetype i)
            : m_items(items)
            , m_i(i)
        {
        }
        QString operator*() const { return m_items->at(m_i); }
        const_iterator &operator++()
        {
            ++m_i;
            return *this;
        }
        bool operator==(const const_iterator &o) const { return m_i == o.m_i; }
        bool operator!=(const const_iterator &o) const { return m_i != o.m_i; }

    private:
        const IndentedItems *m_items;
        qsizetype m_i;
    };
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, size()); }

    qsizetype size() const { return m_texts.size(); }
    bool isEmpty() const { return m_texts.isEmpty(); }
    void clear()
    {
        m_texts.clear();
        m_indents.clear();
    }
    void reserve(qsizetype n)
    {
        m_texts.reserve(n);
        m_indents.reserve(n);
    }
    void append(int indent, const QString &text)
    {
        m_indents.append(indent);
        m_texts.append(text);
    }
    void append(const QString &item)
    {
        const int n = leadingBlanks(item);
        append(n, item.mid(n));
    }
    void insert(qsizetype i, const QString &item)
    {
        const int n = leadingBlanks(item);
        m_indents.insert(i, n);
        m_texts.insert(i, item.mid(n));
    }
    void replace(qsizetype i, const QString &item)
    {
        const int n = leadingBlanks(item);
        m_indents[i] = n;
        m_texts[i] = item.mid(n);
    }
    void removeAt(qsizetype i)
    {
        m_indents.removeAt(i);
        m_texts.removeAt(i);
    }

    // The characters the rows hold (the indents are not among them).
    qsizetype storedChars() const
    {
        qsizetype n = 0;
        for (const QString &text : m_texts)
            n += text.size();
        return n;
    }
    // Whether both hold the very same row data (copies share it until changed).
    bool sharesData(const IndentedItems &o) const
    {
        return m_texts.constData() == o.m_texts.constData()
            && m_indents.constData() == o.m_indents.constData() && size() == o.size();
    }

    bool operator==(const IndentedItems &o) const { return m_indents == o.m_indents && m_texts == o.m_texts; }
    bool operator!=(const IndentedItems &o) const { return !(*this == o); }
    friend bool operator==(const IndentedItems &a, const QStringList &b) { return a == IndentedItems(b); }
    friend bool operator==(const QStringList &a, const IndentedItems &b) { return b == a; }
    friend bool operator!=(const IndentedItems &a, const QStringList &b) { return !(a == b); }
    friend bool operator!=(const QStringList &a, const IndentedItems &b) { return !(b == a); }

private:
    static int leadingBlanks(const QString &item)
    {
        int n = 0;
        while (n < item.size() && item.at(n) == u' ')
            ++n;
        return n;
    }

    QStringList m_texts;
    QList<int> m_indents;
};

// The headless form of one list or combo box of a window: its items, the
// selected index (-1 for none) and whether it is enabled. Selecting from code
// goes through the owning window state, which runs the selection's handling.
template <class Items> struct BasicListBox
{
    Items items;
    int ListIndex = -1;
    bool enabled = true;

    int ListCount() const { return int(items.size()); }
    bool isEmpty() const { return items.isEmpty(); }
    decltype(auto) item(int i) const { return items.at(i); }
    QString selectedText() const
    {
        return (ListIndex >= 0 && ListIndex < items.size()) ? QString(items.at(ListIndex)) : QString();
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

struct ListBox : BasicListBox<QStringList>
{
};

// The number column of a title list: rows kept as indent and text.
struct TitleColumn : BasicListBox<IndentedItems>
{
    int indentOf(int i) const { return items.indentAt(i); }
    const QString &textOf(int i) const { return items.textAt(i); }
    void addItem(int indent, const QString &text) { items.append(indent, text); }
    using BasicListBox<IndentedItems>::addItem;
};

// A label: caption and enabled flag.
struct Label
{
    QString Caption;
    bool enabled = true;
};

} // namespace kavrel
