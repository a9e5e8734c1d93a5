#pragma once

#include <QList>
#include <QStringList>

#include <initializer_list>
#include <optional>

namespace kavrel {

// A row of a list of items assigned as a whole (items[i] = text), and the
// walk over the rows' texts: the lists that make a row's text only when
// asked for stand in for a QStringList with these.
template <class Items> class ItemRef
{
public:
    ItemRef(Items &items, qsizetype i)
        : m_items(items)
        , m_i(i)
    {
    }
    ItemRef &operator=(const QString &text)
    {
        m_items.replace(m_i, text);
        return *this;
    }
    operator QString() const { return m_items.at(m_i); }

private:
    Items &m_items;
    qsizetype m_i;
};

template <class Items> class ItemIterator
{
public:
    using value_type = QString;
    using difference_type = qsizetype;
    ItemIterator(const Items *items, qsizetype i)
        : m_items(items)
        , m_i(i)
    {
    }
    QString operator*() const { return m_items->at(m_i); }
    ItemIterator &operator++()
    {
        ++m_i;
        return *this;
    }
    bool operator==(const ItemIterator &o) const { return m_i == o.m_i; }
    bool operator!=(const ItemIterator &o) const { return m_i != o.m_i; }

private:
    const Items *m_items;
    qsizetype m_i;
};

// What the row lists that make a row's text only when asked for share, so
// that each stands in for a QStringList: a list is made from one and turns
// into one, and is read, walked and compared with one through its own at(),
// size(), reserve(), append() and replace().
template <class List> class StandsForStringList
{
public:
    List &operator=(std::initializer_list<QString> items) { return self() = List(items); }
    List &operator=(const QStringList &items) { return self() = List(items); }
    operator QStringList() const // NOLINT: stands in for a QStringList
    {
        QStringList out;
        out.reserve(self().size());
        for (qsizetype i = 0; i < self().size(); ++i)
            out.append(self().at(i));
        return out;
    }

    QString value(qsizetype i) const { return (i >= 0 && i < self().size()) ? self().at(i) : QString(); }
    QString operator[](qsizetype i) const { return self().at(i); }
    using Ref = ItemRef<List>;
    Ref operator[](qsizetype i) { return Ref(self(), i); }
    using const_iterator = ItemIterator<List>;
    const_iterator begin() const { return const_iterator(&self(), 0); }
    const_iterator end() const { return const_iterator(&self(), self().size()); }
    bool isEmpty() const { return self().size() == 0; }

    bool operator!=(const List &o) const { return !(self() == o); }
    friend bool operator==(const List &a, const QStringList &b)
    {
        if (a.size() != b.size())
            return false;
        for (qsizetype i = 0; i < a.size(); ++i) {
            if (a.at(i) != b.at(i))
                return false;
        }
        return true;
    }
    friend bool operator==(const QStringList &a, const List &b) { return b == a; }
    friend bool operator!=(const List &a, const QStringList &b) { return !(a == b); }
    friend bool operator!=(const QStringList &a, const List &b) { return !(b == a); }

protected:
    template <class Range> void appendAll(const Range &items)
    {
        self().reserve(qsizetype(items.size()));
        for (const QString &item : items)
            self().append(item);
    }

private:
    List &self() { return static_cast<List &>(*this); }
    const List &self() const { return static_cast<const List &>(*this); }
};

// The rows of a title list column as the list is built from a log: a row is
// a piece of the log's text (by offset and length), or a text of its own, with
// optionally brackets around it and blanks and a number after it. A list of
// 100,000 rows thus holds offsets and small numbers; a row's text is made only
// when it is asked for. Stands in for a QStringList.
class TextItems : public StandsForStringList<TextItems>
{
public:
    TextItems() = default;
    TextItems(std::initializer_list<QString> items) { appendAll(items); }
    TextItems(const QStringList &items) { appendAll(items); } // NOLINT: stands in for a QStringList
    using StandsForStringList::operator=;

    // The text that rows appended as pieces point into. Set while the list
    // holds no pieces; the list keeps a shared copy, so the text cannot
    // change or go away under it.
    void setSource(const QString &text) { m_source = text; }
    const QString &source() const { return m_source; }
    // Whether a view lies within the source, so that it can be kept as a piece.
    bool inSource(QStringView v) const
    {
        return v.data() >= m_source.constData()
            && v.data() + v.size() <= m_source.constData() + m_source.size() && !m_source.isEmpty();
    }

    // A row made of a piece of the source: "[" piece "]" when bracketed, then
    // the given number of blanks and the number, if any.
    void appendPiece(
        QStringView piece, bool bracketed = false, int blanks = 0, std::optional<qint64> number = {})
    {
        Q_ASSERT(inSource(piece));
        Row r;
        r.from = piece.data() - m_source.constData();
        r.length = int(piece.size());
        r.bracketed = bracketed;
        r.blanks = blanks;
        r.numbered = number.has_value();
        r.number = number.value_or(0);
        m_rows.append(r);
    }
    // A row of its own text, with blanks and a number after it.
    void append(const QString &text, int blanks, std::optional<qint64> number = {})
    {
        Row r;
        r.from = m_owned.size();
        r.blanks = blanks;
        r.numbered = number.has_value();
        r.number = number.value_or(0);
        m_owned.append(text);
        m_rows.append(r);
    }

    QString at(qsizetype i) const
    {
        const Row &r = m_rows.at(i);
        if (r.length < 0 && r.plain())
            return m_owned.at(r.from);
        const QStringView base
            = r.length < 0 ? QStringView(m_owned.at(r.from)) : QStringView(m_source).mid(r.from, r.length);
        if (r.plain())
            return base.toString();
        QString out;
        out.reserve(base.size() + 2 + r.blanks + (r.numbered ? 20 : 0));
        if (r.bracketed)
            out.append(u'[');
        out.append(base);
        if (r.bracketed)
            out.append(u']');
        if (r.blanks > 0)
            out.append(QString(r.blanks, u' '));
        if (r.numbered)
            out.append(QString::number(r.number));
        return out;
    }
    // Whether row i here and row j of o have the same text, told without
    // making it when both are the same piece.
    bool sameRow(qsizetype i, const TextItems &o, qsizetype j) const
    {
        const Row &a = m_rows.at(i);
        const Row &b = o.m_rows.at(j);
        if (a.length >= 0 && b.length >= 0 && m_source.constData() == o.m_source.constData()
            && a.from == b.from && a.length == b.length && a.bracketed == b.bracketed && a.blanks == b.blanks
            && a.numbered == b.numbered && a.number == b.number)
            return true;
        return at(i) == o.at(j);
    }

    qsizetype size() const { return m_rows.size(); }
    void clear()
    {
        m_rows.clear();
        m_owned.clear();
        m_source.clear();
    }
    void reserve(qsizetype n) { m_rows.reserve(n); }
    void append(const QString &text) { append(text, 0); }
    void insert(qsizetype i, const QString &text)
    {
        Row r;
        r.from = m_owned.size();
        m_owned.append(text);
        m_rows.insert(i, r);
    }
    void replace(qsizetype i, const QString &text)
    {
        Row &r = m_rows[i];
        if (r.length < 0 && r.plain()) {
            m_owned[r.from] = text;
            return;
        }
        r = Row();
        r.from = m_owned.size();
        m_owned.append(text);
    }
    void removeAt(qsizetype i) { m_rows.removeAt(i); }

    // The characters the rows hold as their own (pieces of the source hold none).
    qsizetype storedChars() const
    {
        qsizetype n = 0;
        for (const QString &text : m_owned)
            n += text.size();
        return n;
    }
    // Whether both hold the very same row data (copies share it until changed).
    bool sharesData(const TextItems &o) const
    {
        return m_rows.constData() == o.m_rows.constData() && size() == o.size()
            && m_owned.constData() == o.m_owned.constData() && m_source.constData() == o.m_source.constData();
    }

    bool operator==(const TextItems &o) const
    {
        if (size() != o.size())
            return false;
        for (qsizetype i = 0; i < size(); ++i) {
            if (!sameRow(i, o, i))
                return false;
        }
        return true;
    }

private:
    struct Row
    {
        qsizetype from = 0; // into the source, or into m_owned for a row of its own
        int length = -1; // of the piece; -1 for a row of its own
        int blanks = 0;
        qint64 number = 0;
        bool numbered = false;
        bool bracketed = false;

        bool plain() const { return !bracketed && blanks == 0 && !numbered; }
    };

    QString m_source;
    QList<Row> m_rows;
    QStringList m_owned; // the rows of their own (a removed row's text stays until clear())
};

// The rows of the number column of a title list: per row the indent (a count
// of blanks) and the text after it. A row k deep in a thread stores the number
// k, not k blanks; the full text is made only for the rows asked for.
class IndentedItems : public StandsForStringList<IndentedItems>
{
public:
    IndentedItems() = default;
    IndentedItems(std::initializer_list<QString> items) { appendAll(items); }
    IndentedItems(const QStringList &items) { appendAll(items); } // NOLINT: stands in for a QStringList
    using StandsForStringList::operator=;

    // A row's full text: its indent of blanks, then its text.
    QString at(qsizetype i) const
    {
        const int n = m_indents.at(i);
        return n == 0 ? m_texts.at(i) : QString(n, u' ') + m_texts.at(i);
    }
    int indentAt(qsizetype i) const { return m_indents.at(i); }
    // The row's text after its indent.
    QString textAt(qsizetype i) const { return m_texts.at(i); }
    // Whether row i here and row j of o are the same, indent and text.
    bool sameRow(qsizetype i, const IndentedItems &o, qsizetype j) const
    {
        return m_indents.at(i) == o.m_indents.at(j) && m_texts.sameRow(i, o.m_texts, j);
    }

    qsizetype size() const { return m_texts.size(); }
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
    // See TextItems: the text that rows appended as pieces point into.
    void setSource(const QString &text) { m_texts.setSource(text); }
    const TextItems &texts() const { return m_texts; }
    // A row whose text is "[" + a piece of the source + "]".
    void appendBracketedPiece(int indent, QStringView piece)
    {
        m_indents.append(indent);
        m_texts.appendPiece(piece, true);
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
        m_texts.replace(i, item.mid(n));
    }
    void removeAt(qsizetype i)
    {
        m_indents.removeAt(i);
        m_texts.removeAt(i);
    }

    // The characters the rows hold (the indents are not among them).
    qsizetype storedChars() const { return m_texts.storedChars(); }
    // Whether both hold the very same row data (copies share it until changed).
    bool sharesData(const IndentedItems &o) const
    {
        return m_texts.sharesData(o.m_texts) && m_indents.constData() == o.m_indents.constData();
    }

    bool operator==(const IndentedItems &o) const { return m_indents == o.m_indents && m_texts == o.m_texts; }

private:
    static int leadingBlanks(const QString &item)
    {
        int n = 0;
        while (n < item.size() && item.at(n) == u' ')
            ++n;
        return n;
    }

    TextItems m_texts;
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
    QString textOf(int i) const { return items.textAt(i); }
    // The row's text with one blank for any indent: what tells a row's kind
    // (a chat, a mail, a garbled number) reads a deep row alike, without
    // making its blanks.
    QString textWithOneBlank(int i) const { return indentOf(i) == 0 ? textOf(i) : u' ' + textOf(i); }
    void addItem(int indent, const QString &text) { items.append(indent, text); }
    using BasicListBox<IndentedItems>::addItem;
};

// The information and title columns of a title list: rows kept as pieces of
// the log where they can be.
struct TextColumn : BasicListBox<TextItems>
{
};

// A label: caption and enabled flag.
struct Label
{
    QString Caption;
    bool enabled = true;
};

} // namespace kavrel
