#include "reader/Reader.h"

#include "KavrelVersion.h"

#include "base/BoardItemText.h"
#include "base/Text.h"
#include "moveres/MoveTable.h"
#include "reader/ArticlePlaces.h"
#include "reader/BoardTitles.h"
#include "reader/MarkRowDisplay.h"
#include "reader/WaitingCommandRow.h"
#include "session/LogBoards.h"
#include "session/Session.h"

#include <QFileInfo>

#include <utility>

using namespace kavrel::text;

namespace kavrel::reader {

namespace {

QString trimBlanks(const QString &s)
{
    qsizetype a = 0;
    qsizetype b = s.size();
    while (a < b && s.at(a) == u' ')
        ++a;
    while (b > a && s.at(b - 1) == u' ')
        --b;
    return s.mid(a, b - a);
}

QDateTime defaultFileTime(const QString &path)
{
    const QString trimmed = trimBlanks(path);
    if (trimmed.isEmpty())
        return {};
    const QFileInfo info(trimmed);
    if (!info.exists())
        return {};
    return info.lastModified();
}

} // namespace

Reader::Reader(Session &session)
    : m_s(session)
{
    fileTime = defaultFileTime;
    m_s.main.events = this;
}

Reader::~Reader()
{
    if (m_s.main.events == this)
        m_s.main.events = nullptr;
}

// ---------------------------------------------------------------- board list

void Reader::showChosenBoard()
{
    MainWindowState &m = m_s.main;
    m.clearTitleColumns();
    m.Article.clear();
    if (!m_s.reading.TitleBuildSuppress)
        BuildTitleList();
    focusTitleList();
    showMoveTarget();
}

void Reader::showMoveTarget()
{
    MainWindowState &m = m_s.main;
    // A chat room has no board number.
    const qint64 board = selectedBoardItem(m_s).boardNumber();
    const qint64 target
        = (board >= 0 && board < m_s.moves.MoveTable.size()) ? val(m_s.moves.MoveTable.at(board)) : 0;
    // The mail box has no target, whatever the move file holds for it.
    m.To_No.Caption = (board != 0 && target > 0) ? QString::number(target) : QStringLiteral("なし");
    m.To_No.enabled = board != 0;
    m.MoveTarget = (board != 0 && target > 0) ? target : 0;
}

void Reader::BuildTitleList()
{
    m_index.sync(m_s);
    const int row = showBoardTitles(m_s, &m_index);
    if (row >= 0)
        chooseRow(row);
}

void Reader::titleListFocused()
{
    MainWindowState &m = m_s.main;
    m.ArticleCount.Caption = QStringLiteral("0/0");
    if (!m.Title.isEmpty() && m.Title.ListIndex < 0)
        chooseRow(0);
    // A pending move-response or mail reply is written now; a mail reply
    // still pending after the move-response's write is opened after it.
    const std::optional<ReaderCommand> reply = moveres::replyPending(m_s);
    if (reply == ReaderCommand::Write) {
        execute(ReaderCommand::Write);
        moveres::moveResponseWritten(m_s);
        if (moveres::replyPending(m_s) == ReaderCommand::Mail)
            execute(ReaderCommand::Mail);
    } else if (reply == ReaderCommand::Mail) {
        execute(ReaderCommand::Mail);
    }
}

void Reader::chooseRowInInfoColumn(int row)
{
    MainWindowState &m = m_s.main;
    m.BatchSet.ListIndex = row;
    m.InfoColumn.ListIndex = row;
    m.SubjectColumn.ListIndex = row;
    chooseRow(row);
    focusTitleList();
}

void Reader::chooseRowInTitleColumn(int row)
{
    chooseRowInInfoColumn(row);
}

void Reader::keyInBoardList()
{
    focusTitleList();
}

void Reader::batchColumnFocused()
{
    m_s.main.BatchSet.ListIndex = m_s.main.Title.ListIndex;
    focusTitleList();
}

void Reader::articleViewFocused()
{
    if (m_s.main.Title.enabled)
        focusTitleList();
}

// ---------------------------------------------------------------- article view

void Reader::showChosenRow()
{
    // Each pass is one run of the article view; a pass that selects another
    // row as its last act asks for the next pass instead of nesting.
    bool unreadBoardMoved = false;
    bool advancing = false;
    for (;;) {
        if (titleClickOnce(unreadBoardMoved, advancing))
            continue;
        // An unread search that went on into later boards and ran out on the
        // last row of the last board ends there and shows that row.
        if (unreadBoardMoved && atLastRowOfLastBoard()) {
            unreadBoardMoved = false;
            m_s.reading.LastWrittenKind = ReaderMode::None;
            continue;
        }
        return;
    }
}

bool Reader::onLastBoard() const
{
    const ListBox &boards = m_s.main.Board_List;
    return boards.ListIndex == boards.ListCount() - 1;
}

bool Reader::atLastRowOfLastBoard() const
{
    const TitleColumn &titles = m_s.main.Title;
    return titles.ListIndex == titles.ListCount() - 1 && onLastBoard();
}

void Reader::selectLastVisibleLine()
{
    m_s.main.selectLastVisibleArticleLine();
}

bool Reader::titleClickOnce(bool &unreadBoardMoved, bool &advancing)
{
    MainWindowState &m = m_s.main;
    const int row = m.Title.ListIndex;
    if (row < 0 || row >= m.rowCount())
        return false;
    m.BatchSet.ListIndex = row;
    m.InfoColumn.ListIndex = row;
    m.SubjectColumn.ListIndex = row;
    const QString item = m.Title.textWithOneBlank(row);
    m_shownStart = 0;
    if (item != boarditem::kChatPrefix && isMarkRow(item))
        return clickMarkRow(row, unreadBoardMoved, advancing);
    RowText text;
    switch (findRowText(row, item, text)) {
    case Located::Found:
        return showRowText(row, text, advancing);
    case Located::NotFound:
        return false;
    case Located::MoveOn:
        return moveOnUnread(row, unreadBoardMoved);
    case Located::Rerun:
        return true;
    }
    return false;
}

bool Reader::clickMarkRow(int row, bool &unreadBoardMoved, bool &advancing)
{
    // The user's own waiting commands are no articles of the log: the
    // unread search passes over them, and a running search stops on one
    // only when the command's own text is a hit.
    MainWindowState &m = m_s.main;
    const QString shownItem = articleShown ? m.Title.item(row) : QString();
    const int lastRow = m.rowCount() - 1;
    if (m_s.reading.LastWrittenKind == ReaderMode::UnreadSearch)
        return moveOnUnread(row, unreadBoardMoved);
    ShowMarkRow(m_s);
    const search::Verdict verdict = search::commandHitTest(m_s, m.Article.items);
    if (verdict == search::Verdict::Miss) {
        m.Article.clear();
        return advancing = searchAdvance(row);
    }
    selectLastVisibleLine();
    if (articleShown)
        articleShown({ m.Board_List.ListIndex, row, verdict, shownItem, plainTitle(row) });
    if (m_s.reading.LastWrittenKind == ReaderMode::MovedUp) {
        m_s.reading.LastWrittenKind = ReaderMode::None;
        if (row != lastRow) {
            m.Title.ListIndex = lastRow;
            return true;
        }
    }
    return false;
}

Reader::Located Reader::findRowText(int row, const QString &item, RowText &text)
{
    if (item == boarditem::kChatPrefix) {
        text.start = showChatLines(row);
        text.chatLines = text.start != 0;
        text.key = boarditem::kChatArticleKey;
    } else {
        text.key = u'(' + bracketText(item) + u'/';
    }
    m_index.sync(m_s);
    if (text.key == kGarbledKey) {
        text.message = garbledRowText();
        text.article = text.message;
        return Located::Found;
    }
    if (text.key == boarditem::kChatArticleKey)
        return Located::Found;
    qsizetype start = 0;
    if (text.key == u"(mail /") {
        start = mailStart(m_index, row);
        if (start == 0)
            return Located::NotFound; // fewer mails in the log than rows: nothing to show
    } else {
        const Located located = locateArticle(text.key, item, start);
        if (located != Located::Found)
            return located;
    }
    const qsizetype end = articleEnd(start, item);
    const QString &log = m_index.text();
    text.article = end == 0 ? midView(log, start) : midView(log, start, end - start);
    if (m_s.unread.ReadPointer < end)
        m_s.unread.ReadPointer = end;
    text.start = start;
    return Located::Found;
}

bool Reader::showRowText(int row, const RowText &text, bool &advancing)
{
    MainWindowState &m = m_s.main;
    const QString shownItem = articleShown ? m.Title.item(row) : QString();
    const int lastRow = m.rowCount() - 1;
    if (!text.chatLines)
        m.Article.clear();
    const search::Verdict verdict = search::hitTest(m_s, text.article, text.key);
    if (verdict == search::Verdict::Miss)
        return advancing = searchAdvance(row);

    qsizetype shownStart = text.start;
    appendArticleLines(text.article, m.Article.items);
    if (m.Article.ListCount() >= 2 && m.Article.item(0).isEmpty()) {
        m.Article.removeItem(0);
        shownStart += 2;
    }
    selectLastVisibleLine();
    const bool movedUp = m_s.reading.LastWrittenKind == ReaderMode::MovedUp;
    if (movedUp)
        m_s.reading.LastWrittenKind = ReaderMode::None;
    m.ArticleCount.Caption = QString::number(row + 1) + u'/' + QString::number(m.rowCount());
    if (m.Article.isEmpty()) {
        m.Article.addItem(unshowableText());
        shownStart = 0;
    }
    m_shownStart = shownStart;
    if (articleShown)
        articleShown({ m.Board_List.ListIndex, row, verdict, shownItem, plainTitle(row) });
    // After moving up out of the next board, the board opens on its last row.
    if (movedUp && row != lastRow) {
        // The last row is chosen, not reached by the advance.
        advancing = false;
        m.Title.ListIndex = lastRow;
        return true;
    }
    return false;
}

qsizetype Reader::showChatLines(int row)
{
    MainWindowState &m = m_s.main;
    const QString key = mid(m.Board_List.selectedText(), 11);
    m.Article.clear();
    m_index.sync(m_s);
    // The chats of the room from the third position of the log on.
    const std::vector<qsizetype> &starts = m_index.chatStarts(key, 3);
    if (row < 0 || size_t(row) >= starts.size())
        return 0;
    const qsizetype start = starts[size_t(row)];
    appendChatLines(m_index.text(), start, m.Article.items);
    return start;
}

qsizetype Reader::articleEnd(qsizetype start, const QString &titleItem)
{
    // The first articles shown from a log are ended by searching their own
    // text (a marker matters only before the end found so far), so that they
    // do not wait for the index to find every marker before them; later ones
    // use the places the index keeps. Without an end yet, a window after
    // start is searched directly, and the index past it.
    const QString &log = m_index.text();
    const bool direct = m_index.takeDirectSearch();
    const auto find = [&](const Occurrences &places, qsizetype before) -> qsizetype {
        if (!direct)
            return places.findFrom(start);
        constexpr qsizetype kWindow = 1 << 16;
        const qsizetype limit = before > 0 ? before : start + kWindow;
        // Places from start up to limit - 1, the marker's whole text included.
        const qsizetype chars = qBound<qsizetype>(0, limit - 2 + places.needle().size(), log.size());
        const qsizetype q = findFrom(QStringView(log).left(chars), places.needle(), start);
        if (q != 0 || before > 0)
            return q;
        return places.findFrom(start);
    };
    return articleEndBy(m_index, titleItem, find);
}

void Reader::refreshDateTexts()
{
    if (!fileTime)
        return;
    const QDateTime logDate = fileTime(m_s.log.LogPath);
    if (logDate.isValid())
        m_logDate = logDate;
    const QDateTime ptrDate = fileTime(m_s.unread.PtrRec.LogName);
    if (ptrDate.isValid())
        m_ptrLogDate = ptrDate;
}

Reader::Located Reader::locateArticle(const QString &key, const QString &titleItem, qsizetype &start)
{
    MainWindowState &m = m_s.main;
    const QString boardKey = m_s.log.BoardKeys.value(m.Board_List.ListIndex);
    const QString &prompt = m_s.SubcommandMarker;
    const QString &log = m_index.text();
    auto findLine = [&](qsizetype from) { return m_index.findArticleLine(boardKey, key, from); };

    if (m_s.reading.LastWrittenKind == ReaderMode::UnreadSearch
        && trimBlanks(m_s.unread.PtrRec.LogName) == trimBlanks(m_s.log.LogPath)) {
        // Beyond the pointer, the first line whose command prompt was
        // answered with Enter or lies past the end of its article.
        qsizetype p = findLine(m_s.unread.PtrRec.Pointer + 2);
        while (p != 0) {
            const qsizetype s = m_index.subcommand().findFrom(p);
            bool taken = s == 0;
            if (!taken) {
                const qsizetype h = m_index.articleHeader().findFrom(p);
                const qsizetype r = m_index.readEnd().findFrom(p);
                const qsizetype n = m_index.boardLine().findFrom(p);
                const qsizetype mp = m_index.mainPrompt().findFrom(p);
                const bool promptInArticle = s < h && s < r && s < n && s < mp;
                taken = !promptInArticle || mid(log, s + prompt.size(), 2) == CRLF;
            }
            if (taken)
                break;
            p = findLine(qMax(s, p + 1));
        }
        if (p == 0)
            return Located::MoveOn;
        m_s.reading.LastWrittenKind = ReaderMode::None;
        start = p + 2;
        return Located::Found;
    }

    // The date texts matter only to a pending unread search; other clicks
    // (a search advance passes thousands) need not look at the files.
    if (m_s.reading.LastWrittenKind == ReaderMode::UnreadSearch)
        refreshDateTexts();
    if (m_s.reading.LastWrittenKind == ReaderMode::UnreadSearch && m_ptrLogDate.isValid()
        && m_logDate.isValid() && m_ptrLogDate > m_logDate) {
        // The pointer belongs to a later log: this one counts as read.
        showBoard(m.Board_List.ListCount() - 1);
        m.clearTitleColumns();
        m.Article.clear();
        m.Title.ListIndex = -1;
        m_s.reading.LastWrittenKind = ReaderMode::None;
        BuildTitleList();
        if (m.Title.isEmpty())
            return Located::NotFound;
        m.Title.ListIndex = m.rowCount() - 1;
        return Located::Rerun;
    }

    // The first line whose article was read: its prompt answered with Enter,
    // a read command or yes, or no prompt at all.
    start = firstReadArticle(
        m_index, boardKey, key, prompt, [&](qsizetype p) { return articleEnd(p, titleItem); });
    return start != 0 ? Located::Found : Located::NotFound;
}

void Reader::advanceToNextNonEmptyBoard()
{
    MainWindowState &m = m_s.main;
    do {
        m_s.reading.TitleBuildSuppress = true;
        showBoard(m.Board_List.ListIndex + 1);
        m_s.reading.TitleBuildSuppress = false;
        BuildTitleList();
    } while (m.Title.isEmpty() && !onLastBoard());
}

bool Reader::moveOnUnread(int row, bool &unreadBoardMoved)
{
    MainWindowState &m = m_s.main;
    if (row != m.rowCount() - 1) {
        m.Title.ListIndex = row + 1;
        return true;
    }
    if (onLastBoard())
        return false; // the search fails on the last row of the last board: nothing moves
    unreadBoardMoved = true;
    advanceToNextNonEmptyBoard();
    if (m.Title.isEmpty())
        return false;
    m.Title.ListIndex = 0;
    return true;
}

bool Reader::searchAdvance(int row)
{
    MainWindowState &m = m_s.main;
    if (row != m.rowCount() - 1) {
        m.Title.ListIndex = row + 1;
        return true;
    }
    if (!onLastBoard()) {
        advanceToNextNonEmptyBoard();
        if (!m.Title.isEmpty()) {
            m.Title.ListIndex = 0;
            return true;
        }
    }
    // The counter shows where the advance ended while the question is asked.
    m.showRowCounter();
    if (m_s.message(QStringLiteral("検索キーを初期化しますか？"), MsgButtons::YesNo, MsgIcon::Question)
        == MsgAnswer::Yes)
        search::endSearch(m_s);
    return false;
}

// ---------------------------------------------------------------- keys

void Reader::keyDownInTitleList(int /*keyCode*/, int /*shift*/)
{
    run(std::nullopt);
}

void Reader::selectNextNonEmptyBoard()
{
    MainWindowState &m = m_s.main;
    showBoard(m.Board_List.ListIndex + 1);
    while (!onLastBoard() && m.Title.isEmpty())
        showBoard(m.Board_List.ListIndex + 1);
}

void Reader::compose(ReaderCommand command)
{
    if (m_s.compose)
        m_s.compose->runCommand(command, [this](const ComposeResult &result) {
            showComposed(result);
            m_nextCommand = result.next;
        });
}

void Reader::showComposed(const ComposeResult &result)
{
    // The up file is written: the title list shows it as the command left it.
    MainWindowState &m = m_s.main;
    if (result.outcome == ComposeResult::Outcome::Stored) {
        BuildTitleList();
        const int saved = m_s.composing.SavedTitleIndex;
        chooseRow(saved < m.rowCount() ? saved : m.rowCount() - 1);
    } else if (result.outcome == ComposeResult::Outcome::Deleted) {
        m.clearTitleColumns();
        m.Article.clear();
        BuildTitleList();
        chooseRow(result.row);
    }
    if (result.mailFinished) {
        // The article view starts afresh, on the row the user was on.
        BuildTitleList();
        m.Article.clear();
        const int row = qMin(m_s.composing.SavedTitleIndex, m.rowCount() - 1);
        m.Title.ListIndex = row;
        m.BatchSet.ListIndex = row;
        m.InfoColumn.ListIndex = row;
        m.SubjectColumn.ListIndex = row;
        m.showRowCounter();
    }
    if (result.outcome == ComposeResult::Outcome::Restored)
        showRestored(result);
    if (result.refocus)
        focusTitleList();
}

void Reader::showRestored(const ComposeResult &result)
{
    // The up file holds another generation: the title list shows it, on the
    // row of the command it brought back, or where the user was.
    MainWindowState &m = m_s.main;
    const int saved = m_s.composing.SavedTitleIndex;
    m.clearTitleColumns();
    m.Article.clear();
    BuildTitleList();
    if (result.restoredCommand > 0 && chooseWaitingCommand(*this, m_s, result.restoredCommand))
        return;
    chooseRow(saved < m.rowCount() ? saved : m.rowCount() - 1);
}

void Reader::execute(ReaderCommand command)
{
    run(command);
}

void Reader::run(std::optional<ReaderCommand> command)
{
    m_nextCommand.reset();
    runOne(command);
    // One command after the other, never one inside another: the compose
    // commands keep the running command's result until it has ended.
    while (const std::optional<ReaderCommand> next = std::exchange(m_nextCommand, std::nullopt))
        runOne(next);
}

void Reader::runOne(std::optional<ReaderCommand> command)
{
    using enum ReaderCommand;
    MainWindowState &m = m_s.main;
    m_s.composing.RewriteFlag = false;
    m_s.reading.StatusText.clear(); // what an undo did is told until the next key
    if (command == Rewrite && selectedBoardItem(m_s).isChat())
        command = Write;
    m_s.composing.SavedTitleIndex = m.Title.ListIndex;

    if (command == EndSearch && search::searchActive(m_s)) {
        if (m_s.message(QStringLiteral("検索を終了しますか？"), MsgButtons::YesNo, MsgIcon::Question)
            == MsgAnswer::Yes)
            search::endSearch(m_s);
    }
    noticeEndOfLog(command);
    if (command == Page) {
        pageOn();
        return;
    }
    if (moveAcrossBoards(command))
        return;

    if (command == NextUnread) {
        m_s.reading.LastWrittenKind = ReaderMode::UnreadSearch;
        return;
    }
    if (m_s.reading.LastWrittenKind != ReaderMode::MoveResponse
        && m_s.reading.LastWrittenKind != ReaderMode::MailReply)
        m_s.reading.LastWrittenKind = ReaderMode::None;
    if (!command)
        return;
    switch (*command) {
    case Quit:
        if (closeRequested)
            closeRequested();
        break;
    case Delete:
    case Rewrite:
    case RespondElsewhere:
    case Mail:
    case Respond:
    case Write:
    case ToggleBatch:
    case Undo:
    case Redo:
        compose(*command);
        break;
    default:
        break;
    }
}

void Reader::noticeEndOfLog(std::optional<ReaderCommand> command)
{
    using enum ReaderCommand;
    MainWindowState &m = m_s.main;
    const bool down = command == Next || command == NextUnread;
    const bool moving = command == Page || command == Previous || down;
    if (!moving || m.Title.ListIndex != m.rowCount() - 1 || !onLastBoard())
        return;
    const bool articleAtEnd = m.Article.ListIndex == m.Article.ListCount() - 1;
    if ((articleAtEnd || down) && m.rowCount() >= 1) {
        m.Article.clear();
        m.Article.addItem(QStringLiteral("最終アーティクルです。"));
    }
    if (m.rowCount() == 0) {
        m.Article.clear();
        m.Article.addItem(QStringLiteral("アーティクルはありません"));
    }
    if (search::searchActive(m_s)) {
        m_s.message(QStringLiteral("検索を終了します。"), MsgButtons::Ok, MsgIcon::Information);
        search::endSearch(m_s);
    }
}

bool Reader::moveAcrossBoards(std::optional<ReaderCommand> command)
{
    using enum ReaderCommand;
    MainWindowState &m = m_s.main;
    if (m.Board_List.ListIndex >= 0 && command == Previous) {
        // Up out of the first row: the preceding board, skipping empty ones.
        while (m.Board_List.ListIndex >= 1 && m.Title.ListIndex < 1) {
            showBoard(m.Board_List.ListIndex - 1);
            m_s.reading.LastWrittenKind = ReaderMode::MovedUp;
            if (!(m.Title.isEmpty() && m.Board_List.ListIndex != 0))
                break;
        }
        if (m_s.reading.LastWrittenKind == ReaderMode::MovedUp) {
            // An empty first board has no row to read the mode: left
            // pending, it would open the next board chosen on its last row.
            if (m.Title.isEmpty())
                m_s.reading.LastWrittenKind = ReaderMode::None;
            return true;
        }
    }
    const bool down = command == Next || command == NextUnread;
    if (m.Title.ListIndex == m.rowCount() - 1 && !onLastBoard() && down) {
        m_s.reading.LastWrittenKind = ReaderMode::None;
        selectNextNonEmptyBoard();
    }
    return false;
}

void Reader::pageOn()
{
    MainWindowState &m = m_s.main;
    m_s.reading.LastWrittenKind = ReaderMode::None;
    if (m.Article.ListIndex < m.Article.ListCount() - 1) {
        ++m.Article.ListIndex;
    } else if (m_s.flag(settings::OptionFlags::SpaceMovesOn)) {
        // At the article's end every press moves on, the first one after
        // a move or an open as well as one that follows a scroll.
        if (m.Title.ListIndex != m.rowCount() - 1)
            chooseRow(m.Title.ListIndex + 1);
        else if (!onLastBoard()) {
            selectNextNonEmptyBoard();
            // Reading on with Space shows the next board's first article at
            // once: the title list keeps the focus, so its focus handling
            // would not, and the board would show the no-article notice.
            if (!m.Title.isEmpty() && m.Title.ListIndex < 0)
                chooseRow(0);
        }
    }
}

void Reader::moveRow(RowMove move)
{
    MainWindowState &m = m_s.main;
    const int count = m.rowCount();
    if (count == 0)
        return;
    const int current = m.Title.ListIndex;
    int next = current;
    switch (move) {
    case RowMove::Up:
        next = current <= 0 ? 0 : current - 1;
        break;
    case RowMove::Down:
        next = current < 0 ? 0 : qMin(current + 1, count - 1);
        break;
    case RowMove::First:
        next = 0;
        break;
    case RowMove::Last:
        next = count - 1;
        break;
    }
    if (next != current)
        chooseRow(next);
}

void Reader::dropPendingUnreadSearch()
{
    if (m_s.reading.LastWrittenKind == ReaderMode::UnreadSearch)
        m_s.reading.LastWrittenKind = ReaderMode::None;
}

void Reader::press(ReaderCommand command)
{
    using enum ReaderCommand;
    run(command);
    if (command == Previous)
        moveRow(RowMove::Up);
    else if (command == Next || command == NextUnread)
        moveRow(RowMove::Down);
    dropPendingUnreadSearch();
}

void Reader::pressKey(int keyCode, int shift)
{
    keyDownInTitleList(keyCode, shift);
    if (keyCode == Key_Home)
        moveRow(RowMove::First);
    else if (keyCode == Key_End)
        moveRow(RowMove::Last);
    dropPendingUnreadSearch();
}

// ---------------------------------------------------------------- menu

void Reader::markLogRead()
{
    const qint64 bytes = QFileInfo(m_s.log.LogPath).size();
    m_s.unread.PtrRec.LogName = m_s.log.LogPath.leftJustified(80, u' ');
    m_s.unread.PtrRec.Pointer = qMax<qint64>(bytes, m_s.log.LogText.size());
    m_s.unread.ReadPointer = m_s.unread.PtrRec.Pointer;
    m_s.unread.PtrSavePending = true;
}

void Reader::resetReadPointer()
{
    m_s.unread.PtrRec.LogName = m_s.log.LogPath.leftJustified(80, u' ');
    m_s.unread.PtrRec.Pointer = 0;
    m_s.unread.ReadPointer = 0;
    m_s.unread.PtrSavePending = true;
}

QString Reader::keyListText()
{
    const QStringList lines = { QStringLiteral("キー操作一覧"), QString(),
        QStringLiteral("W.......アーティクル書き込み&書き直し"),
        QStringLiteral("P.......レスポンス書き込み＆書き直し"),
        QStringLiteral("G.......臨時移動レス書き込み"), QStringLiteral("E.......各書込書き直し"),
        QStringLiteral("D.......書き込み削除"), QStringLiteral("M.......メール書き込み＆書き直し"),
        QStringLiteral("S.......バッチセット"),
        QStringLiteral("[SPACE] or → or Roll(Page)Down 次アーテクル又は次行に移動"),
        // The other keys of the title list, after the classic lines.
        QStringLiteral("↑ or Roll(Page)Up 前アーティクル又は前ボードに移動"),
        QStringLiteral("↓ 次アーティクル又は次ボードに移動"), QStringLiteral("Shift+↓ or Ctrl+↓ 未読検索"),
        QStringLiteral("Ctrl+S.......検索終了"), QStringLiteral("Ctrl+F.......全ログ検索"),
        QStringLiteral("Ctrl+T.......通し読み"), QStringLiteral("L.......ログで表示"),
        QStringLiteral("Ctrl+Z.......元に戻す"), QStringLiteral("Ctrl+Y.......やり直し"),
        QStringLiteral("Esc.......Kavrelを終了する") };
    return lines.join(CRLF);
}

void Reader::showKeyList()
{
    m_s.message(keyListText(), MsgButtons::Ok, MsgIcon::None);
}

void Reader::showVersion()
{
    m_s.message(QStringLiteral("Kavrel Version " KAVREL_VERSION), MsgButtons::Ok, MsgIcon::None);
}

// ---------------------------------------------------------------- for the command line

int Reader::boardItemOfNumber(int number) const
{
    const std::vector<BoardItem> boards = boardItems(m_s);
    for (size_t i = 0; i < boards.size(); ++i) {
        if (!boards[i].isChat() && boards[i].number == number)
            return int(i);
    }
    return -1;
}

void Reader::chooseBoard(int item)
{
    // The board list has the focus while the user chooses from it.
    m_s.main.loseTitleFocus();
    showBoard(item);
}

void Reader::chooseRow(int row)
{
    MainWindowState &m = m_s.main;
    m.selectTitle(row);
    if (m.events && row >= 0)
        showChosenRow();
    // Whatever the click showed (an article, a waiting command, nothing
    // during a search), the counter follows the selection.
    m.showRowCounter();
}

void Reader::showBoard(int item)
{
    m_s.main.selectBoard(item);
    if (m_s.main.events && item >= 0)
        showChosenBoard();
}

void Reader::focusTitleList()
{
    MainWindowState &m = m_s.main;
    if (m.titleHasFocus)
        return;
    m.focusTitle();
    if (m.events)
        titleListFocused();
    m.showRowCounter();
}

QStringList Reader::titleRows() const
{
    const MainWindowState &m = m_s.main;
    QStringList rows;
    rows.reserve(m.rowCount());
    for (int i = 0; i < m.rowCount(); ++i)
        rows << m.BatchSet.item(i) + u'\t' + m.Title.item(i) + u'\t' + m.InfoColumn.item(i) + u'\t'
                + m.SubjectColumn.item(i);
    return rows;
}

QString Reader::plainTitle(int row) const
{
    const MainWindowState &m = m_s.main;
    QString title = m.SubjectColumn.item(row);
    if (m_s.Sirial_Flg != 1)
        return title;
    qsizetype digits = 0;
    while (digits < title.size() && title.at(title.size() - 1 - digits).isDigit())
        ++digits;
    title.chop(digits);
    // Threaded rows (indented) push the serial number 200 blanks away, others 100.
    const int pad = m.Title.indentOf(row) > 0 ? 200 : 100;
    if (title.endsWith(QString(pad, u' ')))
        title.chop(pad);
    return title;
}

Reader::BoardView Reader::viewOfBoard(int item)
{
    MainWindowState &m = m_s.main;
    const MainWindowState saved = m;
    const qint64 readPointer = m_s.unread.ReadPointer;
    const ReaderMode kind = m_s.reading.LastWrittenKind;
    const bool stringSearch = m_s.search.StringSearchOn;
    const bool dateSearch = m_s.search.DateSearchOn;
    const auto shown = articleShown;
    articleShown = nullptr;
    m_s.reading.LastWrittenKind = ReaderMode::None;
    m_s.search.StringSearchOn = false;
    m_s.search.DateSearchOn = false;

    BoardView view;
    if (item >= 0 && item < m.Board_List.ListCount()) {
        chooseBoard(item);
        view.rows = titleRows();
        view.articles.reserve(view.rows.size());
        for (int row = 0; row < view.rows.size(); ++row) {
            if (m.Title.ListIndex != row)
                chooseRow(row);
            view.articles.append(m.Article.items);
        }
    }

    m = saved;
    m_s.unread.ReadPointer = readPointer;
    m_s.reading.LastWrittenKind = kind;
    m_s.search.StringSearchOn = stringSearch;
    m_s.search.DateSearchOn = dateSearch;
    articleShown = shown;
    return view;
}

QList<ShownArticle> Reader::walkSearch()
{
    MainWindowState &m = m_s.main;
    QList<ShownArticle> hits;
    const auto previous = articleShown;
    articleShown = [&](const ShownArticle &shown) {
        if (shown.verdict == search::Verdict::Hit)
            hits.append(shown);
        if (previous)
            previous(shown);
    };
    if (m.Board_List.ListCount() > 0) {
        if (m.Board_List.ListIndex != 0)
            chooseBoard(0);
        if (m.Title.ListIndex != 0 && !m.Title.isEmpty())
            chooseRow(0);
    }
    while (search::searchActive(m_s)) {
        const int board = m.Board_List.ListIndex;
        const int row = m.Title.ListIndex;
        press(ReaderCommand::Next);
        if (board == m.Board_List.ListIndex && row == m.Title.ListIndex && search::searchActive(m_s))
            break; // nothing moves any more
    }
    articleShown = previous;
    return hits;
}

void Reader::unreadFromFirstBoard()
{
    MainWindowState &m = m_s.main;
    if (m.Board_List.ListCount() == 0)
        return;
    if (m.Board_List.ListIndex != 0)
        chooseBoard(0);
    if (m.Title.ListIndex != 0 && !m.Title.isEmpty())
        chooseRow(0);
    press(ReaderCommand::NextUnread);
}

} // namespace kavrel::reader
