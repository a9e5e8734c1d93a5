#include "reader/TitleListBuilder.h"

#include "base/BoardItemText.h"
#include "base/Text.h"
#include "logindex/ParsedLog.h"
#include "reader/ArticlePlaces.h"
#include "reader/LogMarkerIndex.h"
#include "session/Session.h"
#include "session/UpFile.h"

#include <algorithm>

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

void TitleListBuilder::RowIndex::clear()
{
    m_slots.clear();
    m_entries.clear();
}

void TitleListBuilder::RowIndex::reserve(size_t n)
{
    size_t size = 16;
    while (size < n * 2)
        size *= 2;
    if (size > m_slots.size() && m_entries.empty())
        m_slots.assign(size, Slot());
    m_entries.reserve(n);
}

size_t TitleListBuilder::RowIndex::hashOf(QStringView key)
{
    // The slot is taken from the low bits, the tag from the high ones.
    return logindex::numberHash(key);
}

size_t TitleListBuilder::RowIndex::slotOf(QStringView key, size_t hash) const
{
    const size_t mask = m_slots.size() - 1;
    const auto tag = quint32(hash >> 32);
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot &slot = m_slots[i];
        if (slot.entry < 0 || (slot.tag == tag && m_entries[size_t(slot.entry)].key == key))
            return i;
    }
}

int TitleListBuilder::RowIndex::find(QStringView key) const
{
    if (m_entries.empty())
        return -1;
    const Slot &slot = m_slots[slotOf(key, hashOf(key))];
    return slot.entry < 0 ? -1 : m_entries[size_t(slot.entry)].id;
}

int &TitleListBuilder::RowIndex::tryEmplace(QStringView key, int id, bool &inserted)
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

void TitleListBuilder::RowIndex::grow()
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

qsizetype TitleListBuilder::bracketPos(const QString &item)
{
    return findFrom(item, u'[');
}

QString TitleListBuilder::bracketText(const QString &item)
{
    const qsizetype a = findFrom(item, u'[');
    const qsizetype b = findFrom(item, u']', a + 1);
    if (b == 0)
        return mid(item, a + 1);
    return mid(item, a + 1, b - a - 1);
}

qsizetype TitleListBuilder::infoStart(QStringView block)
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

int TitleListBuilder::build()
{
    MainWindowState &m = m_s.main;
    m.ArticleCount.Caption = QStringLiteral("0/0");
    m.clearTitleColumns();
    m_nodes.clear();
    m_roots.clear();
    m_byBracket.clear();
    m_oddParts.clear();
    m_select = -1;
    if (m.Board_List.ListIndex < 0 || m.Board_List.ListIndex >= m.Board_List.ListCount())
        return -1;

    m_board = BoardItem::fromText(m.Board_List.selectedText());
    walkLog();
    layOut();
    if (m_board.isChat())
        addChatRows();
    if (!m_s.upFile.text().isEmpty())
        markWrittenRows();
    addMessages();
    return m_select;
}

void TitleListBuilder::walkLog()
{
    // The blocks of the board, from the log's model: the walk from header to
    // header is made once per log, not once per board.
    const logindex::ParsedLog &model = logindex::parsedLog(m_s);
    const QString boardKey = m_s.log.BoardKeys.value(m_s.main.Board_List.ListIndex);
    const std::vector<int> &ofBoard = model.blocksOfKey(boardKey);
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
        parseArticleBlock(model.blockText(block));
    }
}

void TitleListBuilder::parseArticleBlock(QStringView block)
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

    const QStringView sub = m_s.SubcommandMarker;
    const qsizetype subAt = indexOfMarker(block, sub);
    bool readable = mailRow || subAt < 0;
    if (!readable && sub.isEmpty()) {
        for (const QString &answer : readAnswers()) {
            if (block.contains(answer)) {
                readable = true;
                break;
            }
        }
    }
    // The prompt answered with Enter, a read command or yes somewhere in the
    // block; the next prompt is looked for only while none was, as the rest
    // of the block is the article's text.
    for (qsizetype i = subAt; !readable && !sub.isEmpty() && i >= 0;) {
        const QStringView after = block.mid(i + sub.size());
        for (const QString &answer : readAnswers()) {
            if (after.startsWith(answer)) {
                readable = true;
                break;
            }
        }
        if (!readable)
            i = indexOfMarker(block, sub, i + 1);
    }
    if (!readable)
        return;
    // A block ends before the first read-end message after its start, so it
    // holds none, and then the quote mark and the main prompt cannot keep it
    // out of the list: they are looked at only for an empty message.
    const QString &readEnd = m_s.ReadEndMarker;
    if (!readEnd.isEmpty()) {
        addTitleRow(block);
        return;
    }
    const QString copy = block.toString();
    const qsizetype pA = findFrom(copy, QStringLiteral(">>---"));
    const QString &prompt = m_s.MainPromptMarker;
    const qsizetype pB = findFrom(copy, left(prompt, prompt.size() - 1));
    const qsizetype pC = findFrom(copy, readEnd);
    if ((pA == 0 && pB == 0) || (pA != 0 && pA > pC) || (pC < pB))
        addTitleRow(block);
}

bool TitleListBuilder::isDuplicate(QStringView number) const
{
    // An item holds "[" + number + "]" only as its own bracket, unless stray
    // brackets are involved; those rare rows are compared one by one.
    if (!hasStrayBracket(number) && m_byBracket.find(number) >= 0)
        return true;
    return !m_oddParts.empty() && m_oddParts.count(bracketed(number)) != 0;
}

int TitleListBuilder::addNode(int parent, int blanks)
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
    if (m_s.Sirial_Flg == 1) {
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
int TitleListBuilder::ancestorAt(int n, int depth) const
{
    while (m_nodes[n].depth > depth) {
        const Node &node = m_nodes[n];
        n = m_nodes[node.jump].depth >= depth ? node.jump : node.parent;
    }
    return n;
}

// Whether node a comes before node b in the laid-out list: in logarithmic
// time, as a deep thread asks this for nodes far down.
bool TitleListBuilder::precedes(int a, int b) const
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

int TitleListBuilder::findParent(QStringView parentText) const
{
    return m_byBracket.find(parentText);
}

void TitleListBuilder::addTitleRow(QStringView block)
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

void TitleListBuilder::layOut()
{
    MainWindowState &m = m_s.main;
    const qsizetype n = qsizetype(m_nodes.size());
    m.BatchSet.items.reserve(n);
    m.Title.items.reserve(n);
    m.InfoColumn.items.reserve(n);
    m.SubjectColumn.items.reserve(n);
    // The rows keep pieces of the log: the columns hold the text they point into.
    const QString &source = logindex::parsedLog(m_s).text();
    m.Title.items.setSource(source);
    m.InfoColumn.items.setSource(source);
    m.SubjectColumn.items.setSource(source);
    const bool serialMode = m_s.Sirial_Flg == 1;
    const QString batch = QStringLiteral(" ");
    const auto append = [&](const Node &node) {
        m.BatchSet.items.append(batch);
        if (m.Title.items.texts().inSource(node.number))
            m.Title.items.appendBracketedPiece(node.depth, node.number);
        else
            m.Title.items.append(node.depth, bracketed(node.number));
        TextItems &info = m.InfoColumn.items;
        if (info.inSource(node.info))
            info.appendPiece(node.info);
        else
            info.append(node.info.toString(), 0);
        TextItems &title = m.SubjectColumn.items;
        const std::optional<qint64> serial = serialMode ? std::optional<qint64>(node.serial) : std::nullopt;
        if (title.inSource(node.title))
            title.appendPiece(node.title, false, node.blanks, serial);
        else
            title.append(node.title.toString(), node.blanks, serial);
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

void TitleListBuilder::appendRow(const QString &number, const QString &info, const QString &title)
{
    m_s.main.appendRow(QStringLiteral(" "), number, info, title);
}

void TitleListBuilder::insertRow(int index, const QString &number, const QString &info, const QString &title)
{
    m_s.main.insertRow(index, QStringLiteral(" "), number, info, title);
    if (m_select >= index)
        ++m_select;
}

void TitleListBuilder::addChatRows()
{
    const QString key = mid(m_s.main.Board_List.selectedText(), 11);
    if (m_index) {
        const size_t chats = m_index->chatStarts(key, 1).size();
        for (size_t i = 0; i < chats; ++i)
            appendRow(boarditem::kChatPrefix, QStringLiteral(" "), QStringLiteral(" "));
        return;
    }
    const QString &log = m_s.log.LogText;
    qsizetype p = 1;
    for (;;) {
        p = findFrom(log, key, p);
        if (p == 0)
            break;
        const qsizetype e1 = findFrom(log, CRLF, p);
        const qsizetype e2 = e1 ? findFrom(log, CRLF, e1 + 1) : 0;
        const qsizetype e3 = e2 ? findFrom(log, CRLF, e2 + 1) : 0;
        const qsizetype e4 = e3 ? findFrom(log, CRLF, e3 + 1) : 0;
        if (e4 == 0)
            break; // fewer than four lines follow: no chat can follow either
        if (charAt(log, e4 + 2) == u'[')
            appendRow(boarditem::kChatPrefix, QStringLiteral(" "), QStringLiteral(" "));
        p = e4 + 1;
    }
}

void TitleListBuilder::markWrittenRows()
{
    MainWindowState &m = m_s.main;
    const UpFile up(m_s.upFile.text());
    const BoardItem &item = m_board;
    const bool chat = item.isChat();
    const qint64 board = item.boardNumber();
    const bool serialMode = m_s.Sirial_Flg == 1;

    // Mails, on the mail box only.
    if (item.isMailBox()) {
        int count = 1;
        for (const UpCommand &c : up.commands()) {
            if (c.kind != UpCommandKind::Mail)
                continue;
            appendRow(QStringLiteral("[手紙") + numberWithBlank(count) + u']', c.recipients.join(QString()),
                c.title);
            ++count;
            if (m_s.reading.LastWrittenKind == ReaderMode::Mail)
                requestSelect(m.rowCount() - 1);
        }
    }

    // Writes, responses and batch marks belong to numbered boards; a chat
    // room's item carries no board number.
    if (!chat) {
        int count = 1;
        for (const UpCommand &c : up.commands()) {
            if (c.kind != UpCommandKind::Write || c.board != board)
                continue;
            appendRow(QStringLiteral("[書込") + numberWithBlank(count) + u']', QStringLiteral(" "), c.title);
            ++count;
            if (m_s.reading.LastWrittenKind == ReaderMode::Write)
                requestSelect(m.rowCount() - 1);
        }

        // Responses: the command must name this board exactly (a response to
        // board 12 is not one to board 1). Every response of the board is
        // counted, also one whose article is not in this log, so that mark n
        // is the n-th response of the board as the mark display and the
        // rewrite and delete commands find it.
        count = 0;
        for (const UpCommand &c : up.commands()) {
            if (c.kind != UpCommandKind::Response || c.board != board)
                continue;
            ++count;
            QString ref = c.reference;
            if (serialMode && ref.startsWith(u'%'))
                ref.remove(0, 1);
            int row = -1;
            for (int i = 0; i < m.rowCount(); ++i) {
                // The whole bracketed number, or the serial number that ends
                // the title, names the article: "[12" alone would also match 123.
                const bool match = serialMode ? m.SubjectColumn.item(i).endsWith(ref)
                                              : m.Title.textOf(i).contains(u'[' + ref + u']');
                if (match) {
                    row = i;
                    break;
                }
            }
            if (row < 0)
                continue;
            // Where "[" stands in a row with its indent, without making the indent's blanks.
            const auto rowBracketPos = [&m](int i) -> qsizetype {
                const qsizetype pos = bracketPos(m.Title.textOf(i));
                return pos == 0 ? 0 : m.Title.indentOf(i) + pos;
            };
            const qsizetype indent = rowBracketPos(row);
            int j = row + 1;
            while (j < m.rowCount()) {
                const qsizetype pos = rowBracketPos(j);
                if (pos == 0 || pos <= indent)
                    break;
                ++j;
            }
            QString title = c.title;
            if (serialMode)
                title += QString(200, u' ') + QString::number(val(ref));
            insertRow(j, QStringLiteral("[レス") + numberWithBlank(count) + u']', QStringLiteral(" "), title);
            if (m_s.reading.LastWrittenKind == ReaderMode::Response)
                requestSelect(j);
        }

        // Batch marks: the article number lines of the board's marks.
        const qint64 batchBoard = item.batchNumber;
        QSet<QString> marked;
        for (const UpCommand &c : up.commands()) {
            if (c.kind == UpCommandKind::BatchMark && c.board == batchBoard)
                marked.insert(c.reference);
        }
        if (!marked.isEmpty()) {
            for (int i = 0; i < m.rowCount(); ++i) {
                // The indent's blanks do not change the number read after "[".
                const QString &title = m.Title.textOf(i);
                const QString a = numberWithBlank(val(mid(title, bracketPos(title) + 1)));
                if (marked.contains(a))
                    m.BatchSet.items[i] = QStringLiteral("S");
            }
        }
    }

    // Chat writes, on a chat room.
    if (chat && up.chatWrite(item.number) != nullptr) {
        appendRow(QStringLiteral("[書込]"), QStringLiteral(" "), QStringLiteral(" "));
        if (m_s.reading.LastWrittenKind == ReaderMode::Write)
            requestSelect(m.rowCount() - 1);
    }
}

void TitleListBuilder::addMessages()
{
    MainWindowState &m = m_s.main;
    const BoardItem &item = m_board;
    const bool chat = item.isChat();
    const bool last = m.Board_List.ListIndex == m.Board_List.ListCount() - 1;
    if (item.batchNumber == 0 && !chat && m.Title.isEmpty())
        m.Article.addItem(QStringLiteral("このＬＯＧファイルにあなた宛のメールはありません"));
    if (!last && m.Article.isEmpty())
        m.Article.addItem(QStringLiteral("このボードにアーティクルはありません"));
    if (last && m.Title.isEmpty())
        m.Article.addItem(QStringLiteral("このボードが登録されてる最終ボードです。アーティクルはありません"));
}

} // namespace kavrel::reader
