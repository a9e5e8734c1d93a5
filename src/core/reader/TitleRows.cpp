#include "reader/TitleRows.h"

#include "base/BoardItemText.h"
#include "base/Text.h"
#include "reader/ArticlePlaces.h"

#include <QSet>

#include <algorithm>
#include <unordered_set>

using namespace kavrel::text;

namespace kavrel::reader {

namespace {

void prefetch(const void *address)
{
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(address);
#else
    Q_UNUSED(address);
#endif
}

bool hasStrayBracket(QStringView number)
{
    return number.contains(u'[') || number.contains(u']');
}

QString bracketed(QStringView number)
{
    QString item;
    item.reserve(number.size() + 2);
    item.append(u'[');
    item.append(number);
    item.append(u']');
    return item;
}

} // namespace

// Makes one title list: the walk over the board's blocks builds the threads
// as a tree of pieces of the log, which is laid out into rows once; the chat
// visits and the mark rows follow.
class TitleListMaker
{
public:
    explicit TitleListMaker(const TitleListInput &input)
        : m_in(input)
    {
    }
    TitleList make();

private:
    // Texts (pieces of the log) to row ids, for one build: open addressing
    // over slots of eight bytes that keep part of each key's hash, so that a
    // lookup among 100,000 numbers touches one or two slots of a small table
    // and compares a text only where the hash agrees.
    class RowIndex
    {
    public:
        void clear();
        void reserve(size_t n);
        // The id of key, or -1.
        int find(QStringView key) const;
        // The id of key, with id stored first when key is new; inserted says which.
        int &tryEmplace(QStringView key, int id, bool &inserted);

    private:
        struct Slot
        {
            quint32 tag = 0; // the high half of the key's hash
            qint32 entry = -1; // -1: empty
        };
        struct Entry
        {
            QStringView key;
            int id = -1;
        };
        static size_t hashOf(QStringView key);
        size_t slotOf(QStringView key, size_t hash) const;
        void grow();

        std::vector<Slot> m_slots;
        std::vector<Entry> m_entries;
    };

    // A row as the walk finds it: pieces of the log (or fixed texts) and
    // links.
    struct Node
    {
        QStringView number; // between the row's brackets
        QStringView info;
        QStringView title;
        qsizetype logPosition = 0;
        qint64 serial = 0; // in serial mode, after the title's blanks
        int blanks = 0; // after the title: a serial net's 100 or 200, else none
        int depth = 0; // the indent, in blanks
        int parent = -1;
        // An ancestor further up (the node itself for a root), chosen so that
        // any ancestor is reached in a logarithmic number of steps.
        int jump = -1;
        int firstChild = -1;
        int lastChild = -1;
        int next = -1; // the next sibling
    };

    void walkLog();
    void parseArticleBlock(QStringView block);
    bool wasRead(QStringView block, bool mailRow) const;
    void addTitleRow(QStringView block);
    bool isDuplicate(QStringView number) const;
    int addNode(int parent, int blanks);
    int findParent(QStringView parentText) const;
    bool precedes(int a, int b) const;
    int ancestorAt(int n, int depth) const;
    void layOut();

    void addChatRows();
    QStringView keep(const QString &text);
    TitleRow markRow(
        UpCommandKind command, int ordinal, const QString &number, const QString &info, const QString &title);
    void addMailMarks();
    void addWriteMarks();
    void insertResponseMarks();
    int rowOfReference(const QString &ref) const;
    void markBatchRows();
    void addChatWriteMark();

    const TitleListInput &m_in;
    TitleList m_list;

    // Work fields of the row being parsed: pieces of the log, or fixed texts.
    QStringView RowNumber; // between the brackets
    QStringView RowInfo;
    QStringView RowTitle;
    qint64 SerialNo = 0;
    qsizetype BlockStart = 0;

    std::vector<Node> m_nodes;
    std::vector<int> m_roots;
    // Bracket text -> the node with it that comes first in the list. Nodes
    // added later never change the order of earlier ones, so it is kept up
    // to date with one comparison per node. The keys point into the log (or
    // the fixed numbers of mails and unreadable rows). A row without stray
    // brackets is a duplicate when its number is a key here or one of the odd
    // parts below.
    RowIndex m_byBracket;
    // Of rows whose number holds "[" or "]": every part that runs from one of
    // their "[" to a later "]", so that "does a row contain [n]" is one lookup.
    std::unordered_set<QString, logindex::ViewHash> m_oddParts;
};

void TitleListMaker::RowIndex::clear()
{
    m_slots.clear();
    m_entries.clear();
}

void TitleListMaker::RowIndex::reserve(size_t n)
{
    size_t size = 16;
    while (size < n * 2)
        size *= 2;
    if (size > m_slots.size() && m_entries.empty())
        m_slots.assign(size, Slot());
    m_entries.reserve(n);
}

size_t TitleListMaker::RowIndex::hashOf(QStringView key)
{
    // The slot is taken from the low bits, the tag from the high ones.
    return logindex::numberHash(key);
}

size_t TitleListMaker::RowIndex::slotOf(QStringView key, size_t hash) const
{
    const size_t mask = m_slots.size() - 1;
    const auto tag = quint32(hash >> 32);
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot &slot = m_slots[i];
        if (slot.entry < 0 || (slot.tag == tag && m_entries[size_t(slot.entry)].key == key))
            return i;
    }
}

int TitleListMaker::RowIndex::find(QStringView key) const
{
    if (m_entries.empty())
        return -1;
    const Slot &slot = m_slots[slotOf(key, hashOf(key))];
    return slot.entry < 0 ? -1 : m_entries[size_t(slot.entry)].id;
}

int &TitleListMaker::RowIndex::tryEmplace(QStringView key, int id, bool &inserted)
{
    if ((m_entries.size() + 1) * 2 > m_slots.size())
        grow();
    const size_t hash = hashOf(key);
    Slot &slot = m_slots[slotOf(key, hash)];
    inserted = slot.entry < 0;
    if (inserted) {
        slot = Slot { quint32(hash >> 32), qint32(m_entries.size()) };
        m_entries.push_back(Entry { key, id });
    }
    return m_entries[size_t(slot.entry)].id;
}

void TitleListMaker::RowIndex::grow()
{
    m_slots.assign(std::max<size_t>(16, m_slots.size() * 2), Slot());
    const size_t mask = m_slots.size() - 1;
    for (size_t e = 0; e < m_entries.size(); ++e) {
        const size_t hash = hashOf(m_entries[e].key);
        size_t i = hash & mask;
        while (m_slots[i].entry >= 0)
            i = (i + 1) & mask;
        m_slots[i] = Slot { quint32(hash >> 32), qint32(e) };
    }
}

// ---------------------------------------------------------------- the values

QString TitleRow::bracketed() const
{
    return reader::bracketed(number);
}

QString TitleRow::shownTitle() const
{
    QString out;
    out.reserve(title.size() + blanks + (serial ? 20 : 0));
    out.append(title);
    if (blanks > 0)
        out.append(QString(blanks, u' '));
    if (serial)
        out.append(QString::number(*serial));
    return out;
}

QString TitleList::plainTitle(int row, bool serialNet) const
{
    const TitleRow &r = rows[size_t(row)];
    QString title = r.shownTitle();
    if (!serialNet)
        return title;
    qsizetype digits = 0;
    while (digits < title.size() && title.at(title.size() - 1 - digits).isDigit())
        ++digits;
    title.chop(digits);
    // Threaded rows (indented) push the serial number 200 blanks away, others 100.
    const int pad = r.depth > 0 ? 200 : 100;
    if (title.endsWith(QString(pad, u' ')))
        title.chop(pad);
    return title;
}

int TitleList::newestMark(UpCommandKind kind) const
{
    const auto counts = [kind](const TitleRow &r) {
        return r.kind == TitleRow::Kind::Mark
            && (r.command == kind || (kind == UpCommandKind::Write && r.command == UpCommandKind::ChatWrite));
    };
    int found = -1;
    for (int i = 0; i < size(); ++i) {
        if (counts(rows[size_t(i)]) && (found < 0 || rows[size_t(i)].ordinal > rows[size_t(found)].ordinal))
            found = i;
    }
    return found;
}

// ---------------------------------------------------------------- texts of rows

qsizetype bracketPos(const QString &item)
{
    return findFrom(item, u'[');
}

QString bracketText(const QString &item)
{
    const qsizetype a = findFrom(item, u'[');
    const qsizetype b = findFrom(item, u']', a + 1);
    if (b == 0)
        return mid(item, a + 1);
    return mid(item, a + 1, b - a - 1);
}

qsizetype infoStart(QStringView block)
{
    qsizetype s = findFrom(block, u"bytes") + 6;
    if (s == 6)
        s = findFrom(block, u"-only") + 6;
    if (s == 6) {
        const qsizetype kb = findFrom(block, u"KB ");
        return kb == 0 ? 0 : kb + 3;
    }
    // "KB " counts only where it ends before s: it is looked for there alone.
    const qsizetype kb = indexOfMarker(block.left(qMax<qsizetype>(0, s - 2)), u"KB ");
    return kb >= 0 ? kb + 4 : s;
}

QString chatRoomKey(const QString &boardItemText)
{
    return mid(boardItemText, 11);
}

std::vector<qsizetype> chatVisitStarts(const QString &log, const QString &roomKey, qsizetype from)
{
    std::vector<qsizetype> starts;
    qsizetype p = from;
    for (;;) {
        p = findFrom(log, roomKey, p);
        if (p == 0)
            break;
        const qsizetype e1 = findFrom(log, CRLF, p);
        const qsizetype e2 = e1 ? findFrom(log, CRLF, e1 + 1) : 0;
        const qsizetype e3 = e2 ? findFrom(log, CRLF, e2 + 1) : 0;
        const qsizetype e4 = e3 ? findFrom(log, CRLF, e3 + 1) : 0;
        if (e4 == 0)
            break; // fewer than four lines follow: no chat can follow either
        if (charAt(log, e4 + 2) == u'[')
            starts.push_back(e4 + 2);
        p = e4 + 1;
    }
    return starts;
}

TitleList titleListOf(const TitleListInput &input)
{
    return TitleListMaker(input).make();
}

// ---------------------------------------------------------------- the walk

TitleList TitleListMaker::make()
{
    m_list.m_source = m_in.log.text();
    walkLog();
    layOut();
    if (m_in.board.isChat())
        addChatRows();
    if (!m_in.up.commands().empty()) {
        if (m_in.board.isMailBox())
            addMailMarks();
        // Writes, responses and batch marks belong to numbered boards; a chat
        // room's item carries no board number.
        if (!m_in.board.isChat()) {
            addWriteMarks();
            insertResponseMarks();
            markBatchRows();
        } else {
            addChatWriteMark();
        }
    }
    return std::move(m_list);
}

void TitleListMaker::walkLog()
{
    // The blocks of the board, from the log's model: the walk from header to
    // header is made once per log, not once per board.
    const logindex::ParsedLog &model = m_in.log;
    const std::vector<int> &ofBoard = model.blocksOfKey(m_in.boardKey);
    m_nodes.reserve(ofBoard.size());
    m_byBracket.reserve(ofBoard.size());
    for (size_t n = 0; n < ofBoard.size(); ++n) {
        // The lines a block is read from lie far apart in a big log: those of
        // a block a few ahead are asked for now, so they are in the cache
        // when their turn comes.
        constexpr size_t kAhead = 4;
        if (n + kAhead < ofBoard.size()) {
            const logindex::ParsedLog::Block &later = model.blocks()[size_t(ofBoard[n + kAhead])];
            const char *head = reinterpret_cast<const char *>(model.blockText(later).data());
            for (std::ptrdiff_t line = 0; line < 5; ++line)
                prefetch(head + 64 * line);
        }
        const logindex::ParsedLog::Block &block = model.blocks()[size_t(ofBoard[n])];
        SerialNo = block.serial;
        BlockStart = block.start;
        parseArticleBlock(model.blockText(block));
    }
}

void TitleListMaker::parseArticleBlock(QStringView block)
{
    const qsizetype a = findFrom(block, u'(');
    const qsizetype b = findFrom(block, u'/');
    QStringView number;
    bool known = true;
    bool mail = false;
    if (b <= a) {
        const QStringView lead = block.left(4);
        mail = lead == u"0:ma" || lead == u"mail";
        known = mail;
    } else {
        number = midView(block, a + 1, b - a - 1);
    }

    qsizetype s = infoStart(block);
    if (s == 0)
        s = 3; // without a size token the info runs from the block's third character

    // The number the row shows between its brackets.
    if (!known) {
        RowInfo = u"不明です";
        RowNumber = u"????";
    } else {
        const qsizetype t = findFrom(block, CRLF, s);
        RowInfo = t == 0 ? midView(block, s) : midView(block, s, t - s);
        RowNumber = mail ? QStringView(u"mail ") : number;
        // A number read from the block may itself be "????".
        if (!mail && number == u"????")
            RowInfo = u"不明です";
    }

    const qsizetype c1 = findFrom(block, u':');
    const qsizetype c = c1 == 0 ? 0 : findFrom(block, u':', c1 + 1);
    const qsizetype t = findFrom(block, CRLF, c + 1);
    if ((t - c - 3 > 1) || c == 0) {
        const qsizetype length = t - c - 4;
        // A first line too short to hold a title has none.
        RowTitle = length < 0 ? QStringView(u"タイトル不明") : midView(block, c + 4, length);
    } else {
        RowTitle = u"タイトル不明";
    }

    const bool mailRow = RowNumber.startsWith(u"mail");
    if (!m_nodes.empty() && !mailRow && isDuplicate(RowNumber))
        return;
    if (!wasRead(block, mailRow))
        return;
    // A block ends before the first read-end message after its start, so it
    // holds none, and then the quote mark and the main prompt cannot keep it
    // out of the list: they are looked at only for an empty message.
    const QString &readEnd = m_in.markers.ReadEndMarker;
    if (!readEnd.isEmpty()) {
        addTitleRow(block);
        return;
    }
    const QString copy = block.toString();
    const qsizetype pA = findFrom(copy, QStringLiteral(">>---"));
    const QString &prompt = m_in.markers.MainPromptMarker;
    const qsizetype pB = findFrom(copy, left(prompt, prompt.size() - 1));
    const qsizetype pC = findFrom(copy, readEnd);
    if ((pA == 0 && pB == 0) || (pA != 0 && pA > pC) || (pC < pB))
        addTitleRow(block);
}

bool TitleListMaker::wasRead(QStringView block, bool mailRow) const
{
    const QStringView sub = m_in.markers.SubcommandMarker;
    const qsizetype subAt = indexOfMarker(block, sub);
    if (mailRow || subAt < 0)
        return true;
    if (sub.isEmpty()) {
        for (const QString &answer : readAnswers()) {
            if (block.contains(answer))
                return true;
        }
        return false;
    }
    // The prompt answered with Enter, a read command or yes somewhere in the
    // block; the next prompt is looked for only while none was, as the rest
    // of the block is the article's text.
    for (qsizetype i = subAt; i >= 0; i = indexOfMarker(block, sub, i + 1)) {
        const QStringView after = block.mid(i + sub.size());
        for (const QString &answer : readAnswers()) {
            if (after.startsWith(answer))
                return true;
        }
    }
    return false;
}

bool TitleListMaker::isDuplicate(QStringView number) const
{
    // An item holds "[" + number + "]" only as its own bracket, unless stray
    // brackets are involved; those rare rows are compared one by one.
    if (!hasStrayBracket(number) && m_byBracket.find(number) >= 0)
        return true;
    return !m_oddParts.empty() && m_oddParts.count(bracketed(number)) != 0;
}

int TitleListMaker::addNode(int parent, int blanks)
{
    const int id = int(m_nodes.size());
    Node node;
    node.parent = parent;
    node.depth = parent < 0 ? 0 : m_nodes[parent].depth + 1;
    node.jump = id;
    if (parent >= 0) {
        // Jumps of lengths 1, 1, 3, 7, ... (skew binary) over the ancestors.
        const Node &p = m_nodes[parent];
        const Node &j = m_nodes[p.jump];
        node.jump = p.depth - j.depth == j.depth - m_nodes[j.jump].depth ? j.jump : parent;
    }
    node.number = RowNumber;
    node.info = RowInfo;
    node.title = RowTitle;
    node.logPosition = BlockStart;
    if (m_in.serialNet) {
        node.blanks = blanks;
        node.serial = SerialNo;
    }
    m_nodes.push_back(node);
    if (parent < 0) {
        m_roots.push_back(id);
    } else {
        Node &p = m_nodes[size_t(parent)];
        if (p.lastChild < 0)
            p.firstChild = id;
        else
            m_nodes[size_t(p.lastChild)].next = id;
        p.lastChild = id;
    }

    // The key points into the log, as the number does.
    const QStringView inner = RowNumber;
    const bool stray = hasStrayBracket(inner);
    // The bracket text runs from the item's own "[" to its first "]"; without
    // stray brackets it is the number itself.
    const qsizetype close = inner.indexOf(u']');
    bool added = false;
    int &first = m_byBracket.tryEmplace(close < 0 ? inner : inner.left(close), id, added);
    if (!added && precedes(id, first))
        first = id;
    if (stray) {
        // The blanks of the indent hold no brackets: the parts of the number
        // are the parts of the whole item.
        const QString number = bracketed(inner);
        for (qsizetype a = number.indexOf(u'['); a >= 0; a = number.indexOf(u'[', a + 1)) {
            for (qsizetype b = number.indexOf(u']', a + 1); b >= 0; b = number.indexOf(u']', b + 1))
                m_oddParts.insert(number.mid(a, b - a + 1));
        }
    }
    return id;
}

// The ancestor of node n (or n itself) at the given depth.
int TitleListMaker::ancestorAt(int n, int depth) const
{
    while (m_nodes[n].depth > depth) {
        const Node &node = m_nodes[n];
        n = m_nodes[node.jump].depth >= depth ? node.jump : node.parent;
    }
    return n;
}

// Whether node a comes before node b in the laid-out list: in logarithmic
// time, as a deep thread asks this for nodes far down.
bool TitleListMaker::precedes(int a, int b) const
{
    const int da = m_nodes[a].depth;
    const int db = m_nodes[b].depth;
    if (da > db) {
        a = ancestorAt(a, db);
        if (a == b)
            return false; // b is an ancestor of a
    } else {
        b = ancestorAt(b, da);
        if (a == b)
            return true; // a is an ancestor of b (or b itself)
    }
    // Up to the children of the deepest common ancestor; at equal depths the
    // jumps lead to equal depths.
    while (m_nodes[a].parent != m_nodes[b].parent) {
        const Node &na = m_nodes[a];
        const Node &nb = m_nodes[b];
        if (na.jump != nb.jump) {
            a = na.jump;
            b = nb.jump;
        } else {
            a = na.parent;
            b = nb.parent;
        }
    }
    // Siblings (or roots) keep their creation order.
    return a < b;
}

int TitleListMaker::findParent(QStringView parentText) const
{
    return m_byBracket.find(parentText);
}

void TitleListMaker::addTitleRow(QStringView block)
{
    const qsizetype e = findFrom(block, CRLF, 1);
    const QStringView lead = midView(block, e + 2, 2);
    const bool response = lead == u" <" && !block.startsWith(u"mail") && !m_nodes.empty();
    // In serial mode the serial number stands far right of the title.
    if (!response) {
        addNode(-1, 100);
        return;
    }
    // The colon after the number answered: from the first digit after " <"
    // on, so that responses to articles 1 to 999 find their parent too.
    const qsizetype c = findFrom(block, u':', e + 5);
    if (c == 0)
        return;
    const int parent = findParent(midView(block, e + 4, c - (e + 4)));
    if (parent < 0) {
        addNode(-1, 100);
        return;
    }
    addNode(parent, 200);
}

void TitleListMaker::layOut()
{
    std::vector<TitleRow> &rows = m_list.rows;
    rows.reserve(m_nodes.size());
    const auto append = [&](const Node &node) {
        TitleRow row;
        row.kind = node.number.startsWith(u"mail") ? TitleRow::Kind::Mail : TitleRow::Kind::Article;
        row.number = node.number;
        row.depth = node.depth;
        row.info = node.info;
        row.title = node.title;
        row.blanks = node.blanks;
        if (m_in.serialNet)
            row.serial = node.serial;
        row.logPosition = node.logPosition;
        rows.push_back(row);
    };
    // Depth-first, without recursion: a thread may be as deep as the board.
    for (const int root : m_roots) {
        int id = root;
        for (;;) {
            const Node &node = m_nodes[size_t(id)];
            append(node);
            if (node.firstChild >= 0) {
                id = node.firstChild;
                continue;
            }
            while (id != root && m_nodes[size_t(id)].next < 0)
                id = m_nodes[size_t(id)].parent;
            if (id == root)
                break;
            id = m_nodes[size_t(id)].next;
        }
    }
    m_nodes.clear();
    m_roots.clear();
    m_byBracket.clear();
}

// ---------------------------------------------------------------- chat visits and mark rows

void TitleListMaker::addChatRows()
{
    const std::vector<qsizetype> walked = m_in.chatStarts
        ? std::vector<qsizetype>()
        : chatVisitStarts(m_in.log.text(), chatRoomKey(m_in.board.text), 1);
    const std::vector<qsizetype> &starts = m_in.chatStarts ? *m_in.chatStarts : walked;
    for (const qsizetype start : starts) {
        TitleRow row;
        row.kind = TitleRow::Kind::Chat;
        row.number = u"XCHAT";
        row.info = u" ";
        row.title = u" ";
        row.logPosition = start;
        m_list.rows.push_back(row);
    }
}

QStringView TitleListMaker::keep(const QString &text)
{
    m_list.m_texts.append(text);
    return m_list.m_texts.constLast();
}

TitleRow TitleListMaker::markRow(
    UpCommandKind command, int ordinal, const QString &number, const QString &info, const QString &title)
{
    TitleRow row;
    row.kind = TitleRow::Kind::Mark;
    row.command = command;
    row.ordinal = ordinal;
    row.number = keep(number);
    row.info = info == u" " ? QStringView(u" ") : keep(info);
    row.title = keep(title);
    return row;
}

void TitleListMaker::addMailMarks()
{
    int count = 1;
    for (const UpCommand &c : m_in.up.commands()) {
        if (c.kind != UpCommandKind::Mail)
            continue;
        m_list.rows.push_back(markRow(UpCommandKind::Mail, count,
            QStringLiteral("手紙") + numberWithBlank(count), c.recipients.join(QString()), c.title));
        ++count;
    }
}

void TitleListMaker::addWriteMarks()
{
    const qint64 board = m_in.board.boardNumber();
    int count = 1;
    for (const UpCommand &c : m_in.up.commands()) {
        if (c.kind != UpCommandKind::Write || c.board != board)
            continue;
        m_list.rows.push_back(markRow(UpCommandKind::Write, count,
            QStringLiteral("書込") + numberWithBlank(count), QStringLiteral(" "), c.title));
        ++count;
    }
}

int TitleListMaker::rowOfReference(const QString &ref) const
{
    // The whole bracketed number, or the serial number that ends the title,
    // names the article: "[12" alone would also match 123.
    const QString inBrackets = bracketed(ref);
    for (int i = 0; i < m_list.size(); ++i) {
        const TitleRow &row = m_list.rows[size_t(i)];
        const bool match = m_in.serialNet ? row.shownTitle().endsWith(ref)
            : hasStrayBracket(row.number) ? row.bracketed().contains(inBrackets)
                                          : row.number == ref;
        if (match)
            return i;
    }
    return -1;
}

void TitleListMaker::insertResponseMarks()
{
    // Responses: the command must name this board exactly (a response to
    // board 12 is not one to board 1). Every response of the board is
    // counted, also one whose article is not in this log, so that mark n
    // is the n-th response of the board as the mark display and the
    // rewrite and delete commands find it.
    const qint64 board = m_in.board.boardNumber();
    std::vector<TitleRow> &rows = m_list.rows;
    int count = 0;
    for (const UpCommand &c : m_in.up.commands()) {
        if (c.kind != UpCommandKind::Response || c.board != board)
            continue;
        ++count;
        QString ref = c.reference;
        if (m_in.serialNet && ref.startsWith(u'%'))
            ref.remove(0, 1);
        const int row = rowOfReference(ref);
        if (row < 0)
            continue;
        // After the article's sub-thread: the rows below it that are deeper.
        const int depth = rows[size_t(row)].depth;
        size_t j = size_t(row) + 1;
        while (j < rows.size() && rows[j].depth > depth)
            ++j;
        QString title = c.title;
        if (m_in.serialNet)
            title += QString(200, u' ') + QString::number(val(ref));
        rows.insert(rows.begin() + qsizetype(j),
            markRow(UpCommandKind::Response, count, QStringLiteral("レス") + numberWithBlank(count),
                QStringLiteral(" "), title));
    }
}

void TitleListMaker::markBatchRows()
{
    // Batch marks: the article number lines of the board's marks.
    QSet<QString> marked;
    for (const UpCommand &c : m_in.up.commands()) {
        if (c.kind == UpCommandKind::BatchMark && c.board == m_in.board.batchNumber)
            marked.insert(c.reference);
    }
    if (marked.isEmpty())
        return;
    for (TitleRow &row : m_list.rows) {
        // The number read after "[", as far as it goes.
        const QString text = row.bracketed();
        if (marked.contains(numberWithBlank(val(mid(text, 2)))))
            row.batchMarked = true;
    }
}

void TitleListMaker::addChatWriteMark()
{
    if (m_in.up.chatWrite(m_in.board.number) != nullptr)
        m_list.rows.push_back(markRow(
            UpCommandKind::ChatWrite, 0, QStringLiteral("書込"), QStringLiteral(" "), QStringLiteral(" ")));
}

} // namespace kavrel::reader
