#include "reader/TitleListBuilder.h"

#include "base/Text.h"
#include "commands/UpFile.h"
#include "logindex/BoardItemText.h"
#include "session/Session.h"

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

bool hasStrayBracket(const QString &number)
{
    return number.contains(u'[') || number.contains(u']');
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
    m_plainItems.clear();
    m_oddItems.clear();
    m_select = -1;
    if (m.Board_List.ListIndex < 0 || m.Board_List.ListIndex >= m.Board_List.ListCount())
        return -1;

    walkLog();
    layOut();
    if (boarditem::isChat(m.Board_List.selectedText()))
        addChatRows();
    if (!m_s.UpFileText.isEmpty())
        markWrittenRows();
    addMessages();
    return m_select;
}

void TitleListBuilder::walkLog()
{
    const QString &log = m_s.LogText;
    const QString &header = m_s.ArticleHeader;
    const QString &readEnd = m_s.ReadEndMarker;
    const bool serial = m_s.Sirial_Flg == 1;
    const QString boardKey = m_s.BoardKeys.value(m_s.main.Board_List.ListIndex);

    // The read-end message after the block start: starts only move forward,
    // so an answer that still lies ahead is reused instead of searched again.
    qsizetype endFrom = -1;
    qsizetype endAt = 0;

    qsizetype p = 1;
    for (;;) {
        const qsizetype h = findFrom(log, header, p);
        if (h == 0)
            break;
        qsizetype e = findFrom(log, CRLF, h + 1);
        if (e == 0)
            break; // a header line without an end: nothing after it can be listed
        qsizetype next = findFrom(log, header, e + 2);
        if (serial) {
            e = findFrom(log, CRLF, h + header.size());
            SerialNo = val(mid(log, h + header.size(), 10));
        }
        const qsizetype from = e + 2;
        if (endFrom < 0 || from < endFrom || (endAt != 0 && endAt < from))
            endAt = findFrom(log, readEnd, from);
        endFrom = from;
        const qsizetype r = endAt;
        if ((next == 0 || next > r) && r > 0)
            next = r;
        if (next == 0)
            break;
        p = next;

        const QStringView block = QStringView(log).mid(e + 1, qMax<qsizetype>(0, next - (e + 2)));
        qsizetype cut = block.indexOf(u'(') + 1;
        const qsizetype s = block.indexOf(u'/') + 1 - 2;
        if (s > 0 && s < cut)
            cut = s;
        if (cut <= 0)
            continue;
        QStringView key = block.left(cut - 1);
        if (key == u"mail " || key == u"0:mail ")
            key = u"mail";
        if (key != boardKey)
            continue;
        parseArticleBlock(block.toString());
    }
}

void TitleListBuilder::parseArticleBlock(const QString &block)
{
    const qsizetype a = findFrom(block, u'(');
    const qsizetype b = findFrom(block, u'/');
    if (b <= a) {
        const QString lead = left(block, 4);
        RowNumber = (lead == u"0:ma" || lead == u"mail") ? QStringLiteral("mail ") : QStringLiteral("????");
    } else {
        RowNumber = mid(block, a + 1, b - a - 1);
    }

    qsizetype s = findFrom(block, QStringLiteral("bytes")) + 6;
    if (s == 6)
        s = findFrom(block, QStringLiteral("-only")) + 6;
    const qsizetype kb = findFrom(block, QStringLiteral("KB ")) + 3;
    if (s == 6)
        s = kb;
    if (kb > 3 && kb < s)
        s = kb;

    if (RowNumber == u"????") {
        RowInfo = QStringLiteral("不明です");
    } else {
        const qsizetype t = findFrom(block, CRLF, s);
        RowInfo = t == 0 ? mid(block, s) : mid(block, s, t - s);
    }
    RowNumber = u'[' + RowNumber + u']';

    const qsizetype c1 = findFrom(block, u':');
    const qsizetype c = c1 == 0 ? 0 : findFrom(block, u':', c1 + 1);
    const qsizetype t = findFrom(block, CRLF, c + 1);
    if ((t - c - 3 > 1) || c == 0) {
        const qsizetype length = t - c - 4;
        // A first line too short to hold a title has none.
        RowTitle = length < 0 ? QStringLiteral("タイトル不明") : mid(block, c + 4, length);
    } else {
        RowTitle = QStringLiteral("タイトル不明");
    }

    if (!m_nodes.empty() && !RowNumber.startsWith(QLatin1String("[mail")) && isDuplicate(RowNumber))
        return;

    const QString &sub = m_s.SubcommandMarker;
    const qsizetype pA = findFrom(block, QStringLiteral(">>---"));
    const QString &prompt = m_s.MainPromptMarker;
    const qsizetype pB = findFrom(block, left(prompt, prompt.size() - 1));
    const qsizetype pC = findFrom(block, m_s.ReadEndMarker);
    bool readable = RowNumber.startsWith(QLatin1String("[mail")) || !block.contains(sub);
    if (!readable) {
        for (const QString &answer : readAnswers()) {
            if (block.contains(sub + answer)) {
                readable = true;
                break;
            }
        }
    }
    if (!readable)
        return;
    if ((pA == 0 && pB == 0) || (pA != 0 && pA > pC) || (pC < pB))
        addTitleRow(block);
}

bool TitleListBuilder::isDuplicate(const QString &rowNumber) const
{
    // An item holds "[" + number + "]" only as its own bracket, unless stray
    // brackets are involved; those rare rows are compared one by one.
    const QString number = rowNumber.mid(1, rowNumber.size() - 2);
    if (!hasStrayBracket(number) && m_plainItems.contains(rowNumber))
        return true;
    for (const QString &item : m_oddItems) {
        if (item.contains(rowNumber))
            return true;
    }
    return false;
}

int TitleListBuilder::addNode(int parent, const QString &number, const QString &title)
{
    Node node;
    node.parent = parent;
    node.depth = parent < 0 ? 0 : m_nodes[parent].depth + 1;
    node.number = QString(node.depth, u' ') + number;
    node.info = RowInfo;
    node.title = title;
    const int id = int(m_nodes.size());
    m_nodes.push_back(node);
    if (parent < 0)
        m_roots.append(id);
    else
        m_nodes[parent].children.append(id);

    m_byBracket[bracketText(number)].append(id);
    const QString inner = number.mid(1, number.size() - 2);
    if (hasStrayBracket(inner))
        m_oddItems.append(number);
    else
        m_plainItems.insert(number);
    return id;
}

// Whether node a comes before node b in the laid-out list.
bool TitleListBuilder::precedes(int a, int b) const
{
    auto path = [this](int n) {
        QList<int> out;
        while (n >= 0) {
            out.prepend(n);
            n = m_nodes[n].parent;
        }
        return out;
    };
    const QList<int> pa = path(a);
    const QList<int> pb = path(b);
    qsizetype i = 0;
    while (i < pa.size() && i < pb.size() && pa[i] == pb[i])
        ++i;
    if (i == pa.size())
        return true; // a is an ancestor of b (or b itself)
    if (i == pb.size())
        return false;
    // Siblings (or roots) keep their creation order.
    return pa[i] < pb[i];
}

int TitleListBuilder::findParent(const QString &parentText) const
{
    const auto it = m_byBracket.constFind(parentText);
    if (it == m_byBracket.cend() || it->isEmpty())
        return -1;
    int best = it->first();
    for (qsizetype i = 1; i < it->size(); ++i) {
        if (precedes(it->at(i), best))
            best = it->at(i);
    }
    return best;
}

void TitleListBuilder::addTitleRow(const QString &block)
{
    const qsizetype e = findFrom(block, CRLF, 1);
    const QString lead = mid(block, e + 2, 2);
    const QString serial = QString::number(SerialNo);
    const bool serialMode = m_s.Sirial_Flg == 1;
    const bool response = lead == u" <" && !block.startsWith(QLatin1String("mail")) && !m_nodes.empty();
    const QString topTitle = serialMode ? RowTitle + QString(100, u' ') + serial : RowTitle;
    if (!response) {
        addNode(-1, RowNumber, topTitle);
        return;
    }
    // The colon after the number answered: from the first digit after " <"
    // on, so that responses to articles 1 to 999 find their parent too.
    const qsizetype c = findFrom(block, u':', e + 5);
    if (c == 0)
        return;
    const QString parentText = mid(block, e + 4, c - (e + 4));
    const int parent = findParent(parentText);
    if (parent < 0) {
        addNode(-1, RowNumber, topTitle);
        return;
    }
    addNode(parent, RowNumber, serialMode ? RowTitle + QString(200, u' ') + serial : RowTitle);
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
        m.appendRow(QStringLiteral(" "), node.number, node.info, node.title);
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
    const QString &log = m_s.LogText;
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
    const commands::UpFile up(m_s.UpFileText);
    const QString item = m.Board_List.selectedText();
    const bool chat = boarditem::isChat(item);
    const qint64 board = boarditem::boardNumber(item);
    const bool serialMode = m_s.Sirial_Flg == 1;

    // Mails, on the mail box only.
    if (!chat && boarditem::isMailBox(item)) {
        int count = 1;
        for (const commands::UpCommand &c : up.commands()) {
            if (c.kind != commands::UpCommandKind::Mail)
                continue;
            appendRow(QStringLiteral("[手紙") + numberWithBlank(count) + u']', c.recipients.join(QString()),
                c.title);
            ++count;
            if (m_s.LastWrittenKind == ReaderMode::Mail)
                requestSelect(m.rowCount() - 1);
        }
    }

    // Writes, responses and batch marks belong to numbered boards; a chat
    // room's item carries no board number.
    if (!chat) {
        int count = 1;
        for (const commands::UpCommand &c : up.commands()) {
            if (c.kind != commands::UpCommandKind::Write || c.board != board)
                continue;
            appendRow(QStringLiteral("[書込") + numberWithBlank(count) + u']', QStringLiteral(" "), c.title);
            ++count;
            if (m_s.LastWrittenKind == ReaderMode::Write)
                requestSelect(m.rowCount() - 1);
        }

        // Responses: the command must name this board exactly (a response to
        // board 12 is not one to board 1). Every response of the board is
        // counted, also one whose article is not in this log, so that mark n
        // is the n-th response of the board as the mark display and the
        // rewrite and delete commands find it.
        count = 0;
        for (const commands::UpCommand &c : up.commands()) {
            if (c.kind != commands::UpCommandKind::Response || c.board != board)
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
                                              : m.Title.item(i).contains(u'[' + ref + u']');
                if (match) {
                    row = i;
                    break;
                }
            }
            if (row < 0)
                continue;
            const qsizetype indent = bracketPos(m.Title.item(row));
            int j = row + 1;
            while (j < m.rowCount()) {
                const qsizetype pos = bracketPos(m.Title.item(j));
                if (pos == 0 || pos <= indent)
                    break;
                ++j;
            }
            QString title = c.title;
            if (serialMode)
                title += QString(200, u' ') + QString::number(val(ref));
            insertRow(j, QStringLiteral("[レス") + numberWithBlank(count) + u']', QStringLiteral(" "), title);
            if (m_s.LastWrittenKind == ReaderMode::Response)
                requestSelect(j);
        }

        // Batch marks: the article number lines of the board's marks.
        const qint64 batchBoard = boarditem::fiveDigitBoardNumber(item);
        QSet<QString> marked;
        for (const commands::UpCommand &c : up.commands()) {
            if (c.kind == commands::UpCommandKind::BatchMark && c.board == batchBoard)
                marked.insert(c.reference);
        }
        if (!marked.isEmpty()) {
            for (int i = 0; i < m.rowCount(); ++i) {
                const QString &title = m.Title.item(i);
                const QString a = numberWithBlank(val(mid(title, bracketPos(title) + 1)));
                if (marked.contains(a))
                    m.BatchSet.items[i] = QStringLiteral("S");
            }
        }
    }

    // Chat writes, on a chat room.
    if (chat && up.chatWrite(boarditem::chatNumber(item)) != nullptr) {
        appendRow(QStringLiteral("[書込]"), QStringLiteral(" "), QStringLiteral(" "));
        if (m_s.LastWrittenKind == ReaderMode::Write)
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
