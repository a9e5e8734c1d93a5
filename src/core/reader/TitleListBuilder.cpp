#include "reader/TitleListBuilder.h"

#include "base/BoardItemText.h"
#include "base/Text.h"
#include "logindex/ParsedLog.h"
#include "session/Session.h"
#include "session/UpFile.h"

using namespace kavrel::text;

namespace kavrel::reader {

namespace {

// Answers after the command prompt that mean the article's text was read:
// Enter, a read command or yes.
const QStringList &readAnswers()
{
    static const QStringList answers = { QStringLiteral("\r\n"), QStringLiteral("r"), QStringLiteral("R"),
        QStringLiteral("Ｒ"), QStringLiteral("ｒ"), QStringLiteral("y"), QStringLiteral("Y"),
        QStringLiteral("Ｙ"), QStringLiteral("ｙ") };
    return answers;
}

bool hasStrayBracket(QStringView number)
{
    return number.contains(u'[') || number.contains(u']');
}

// bracketText over a view, for keys that point into the item.
QStringView bracketView(QStringView item)
{
    const qsizetype a = findFrom(item, u'[');
    const qsizetype b = findFrom(item, u']', a + 1);
    if (b == 0)
        return midView(item, a + 1);
    return midView(item, a + 1, b - a - 1);
}

} // namespace

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

    walkLog();
    layOut();
    if (boarditem::isChat(m.Board_List.selectedText()))
        addChatRows();
    if (!m_s.upFile.UpFileText.isEmpty())
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
    m_nodes.reserve(model.blocksOfKey(boardKey).size());
    m_byBracket.reserve(model.blocksOfKey(boardKey).size());
    for (const int i : model.blocksOfKey(boardKey)) {
        const logindex::ParsedLog::Block &block = model.blocks()[size_t(i)];
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

    qsizetype s = findFrom(block, u"bytes") + 6;
    if (s == 6)
        s = findFrom(block, u"-only") + 6;
    if (s == 6) {
        s = findFrom(block, u"KB ") + 3;
    } else {
        // "KB " counts only where it ends before s: it is looked for there alone.
        const qsizetype kb = indexOfMarker(block.left(qMax<qsizetype>(0, s - 2)), u"KB ");
        if (kb >= 0)
            s = kb + 4;
    }

    // The number as the row shows it, in one allocation.
    RowNumber.clear();
    if (!known) {
        RowInfo = u"不明です";
        RowNumber = QStringLiteral("[????]");
    } else {
        const qsizetype t = findFrom(block, CRLF, s);
        RowInfo = t == 0 ? midView(block, s) : midView(block, s, t - s);
        const QStringView shown = mail ? QStringView(u"mail ") : number;
        RowNumber.reserve(shown.size() + 2);
        RowNumber.append(u'[');
        RowNumber.append(shown);
        RowNumber.append(u']');
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

    const bool mailRow = RowNumber.startsWith(QLatin1String("[mail"));
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
    // The prompt answered with Enter, a read command or yes somewhere in the block.
    for (qsizetype i = subAt; !readable && !sub.isEmpty() && i >= 0; i = indexOfMarker(block, sub, i + 1)) {
        const QStringView after = block.mid(i + sub.size());
        for (const QString &answer : readAnswers()) {
            if (after.startsWith(answer)) {
                readable = true;
                break;
            }
        }
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

bool TitleListBuilder::isDuplicate(const QString &rowNumber) const
{
    // An item holds "[" + number + "]" only as its own bracket, unless stray
    // brackets are involved; those rare rows are compared one by one.
    const QStringView number = QStringView(rowNumber).mid(1, rowNumber.size() - 2);
    if (!hasStrayBracket(number) && m_byBracket.count(number))
        return true;
    return m_oddParts.count(rowNumber) != 0;
}

int TitleListBuilder::addNode(int parent, const QString &number, QString title)
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
    node.number = number;
    node.info = RowInfo.toString();
    node.title = std::move(title);
    m_nodes.push_back(std::move(node));
    if (parent < 0)
        m_roots.append(id);
    else
        m_nodes[parent].children.append(id);

    // The key points into the node's own copy of the number.
    const QStringView item = m_nodes.back().number;
    const QStringView inner = item.mid(1, item.size() - 2);
    const bool stray = hasStrayBracket(inner);
    // Without stray brackets the bracket text is the number itself.
    const auto [first, added] = m_byBracket.try_emplace(stray ? bracketView(item) : inner, id);
    if (!added && precedes(id, first->second))
        first->second = id;
    if (stray) {
        // The blanks of the indent hold no brackets: the parts of the number
        // are the parts of the whole item.
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
    const auto it = m_byBracket.find(parentText);
    return it == m_byBracket.end() ? -1 : it->second;
}

void TitleListBuilder::addTitleRow(QStringView block)
{
    const qsizetype e = findFrom(block, CRLF, 1);
    const QStringView lead = midView(block, e + 2, 2);
    const bool serialMode = m_s.Sirial_Flg == 1;
    const bool response = lead == u" <" && !block.startsWith(u"mail") && !m_nodes.empty();
    // In serial mode the serial number stands far right of the title.
    const auto titleWithSerial = [&](qsizetype blanks) {
        if (!serialMode)
            return RowTitle.toString();
        const QString serial = QString::number(SerialNo);
        QString title;
        title.reserve(RowTitle.size() + blanks + serial.size());
        title.append(RowTitle);
        title.append(QString(blanks, u' '));
        title.append(serial);
        return title;
    };
    if (!response) {
        addNode(-1, RowNumber, titleWithSerial(100));
        return;
    }
    // The colon after the number answered: from the first digit after " <"
    // on, so that responses to articles 1 to 999 find their parent too.
    const qsizetype c = findFrom(block, u':', e + 5);
    if (c == 0)
        return;
    const int parent = findParent(midView(block, e + 4, c - (e + 4)));
    if (parent < 0) {
        addNode(-1, RowNumber, titleWithSerial(100));
        return;
    }
    addNode(parent, RowNumber, titleWithSerial(200));
}

void TitleListBuilder::layOut()
{
    MainWindowState &m = m_s.main;
    const qsizetype n = qsizetype(m_nodes.size());
    m.BatchSet.items.reserve(n);
    m.Title.items.reserve(n);
    m.Title2.items.reserve(n);
    m.Title3.items.reserve(n);
    // Depth-first, without recursion: a thread may be as deep as the board.
    QList<int> stack;
    for (qsizetype i = m_roots.size() - 1; i >= 0; --i)
        stack.append(m_roots[i]);
    while (!stack.isEmpty()) {
        const int id = stack.takeLast();
        const Node &node = m_nodes[id];
        m.appendRow(QStringLiteral(" "), node.depth, node.number, node.info, node.title);
        for (qsizetype i = node.children.size() - 1; i >= 0; --i)
            stack.append(node.children[i]);
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
    const QString &log = m_s.log.LogText;
    const QString key = mid(m_s.main.Board_List.selectedText(), 11);
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
    const UpFile up(m_s.upFile.UpFileText);
    const QString item = m.Board_List.selectedText();
    const bool chat = boarditem::isChat(item);
    const qint64 board = boarditem::boardNumber(item);
    const bool serialMode = m_s.Sirial_Flg == 1;

    // Mails, on the mail box only.
    if (!chat && boarditem::isMailBox(item)) {
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
                const bool match = serialMode ? m.Title3.item(i).endsWith(ref)
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
        const qint64 batchBoard = boarditem::fiveDigitBoardNumber(item);
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
    if (chat && up.chatWrite(boarditem::chatNumber(item)) != nullptr) {
        appendRow(QStringLiteral("[書込]"), QStringLiteral(" "), QStringLiteral(" "));
        if (m_s.reading.LastWrittenKind == ReaderMode::Write)
            requestSelect(m.rowCount() - 1);
    }
}

void TitleListBuilder::addMessages()
{
    MainWindowState &m = m_s.main;
    const QString item = m.Board_List.selectedText();
    const bool chat = boarditem::isChat(item);
    const bool last = m.Board_List.ListIndex == m.Board_List.ListCount() - 1;
    if (boarditem::fiveDigitBoardNumber(item) == 0 && !chat && m.Title.isEmpty())
        m.Article.addItem(QStringLiteral("このＬＯＧファイルにあなた宛のメールはありません"));
    if (!last && m.Article.isEmpty())
        m.Article.addItem(QStringLiteral("このボードにアーティクルはありません"));
    if (last && m.Title.isEmpty())
        m.Article.addItem(QStringLiteral("このボードが登録されてる最終ボードです。アーティクルはありません"));
}

} // namespace kavrel::reader
