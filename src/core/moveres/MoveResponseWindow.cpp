#include "moveres/MoveResponseWindow.h"

#include "base/KeyCodes.h"
#include "base/Text.h"
#include "moveres/MoveTable.h"
#include "session/LogBoards.h"
#include "session/Session.h"

namespace kavrel::moveres {

using namespace kavrel::text;

namespace {
constexpr int kUp = 38;
constexpr int kDown = 40;
const QString kNone = QStringLiteral("なし");
} // namespace

MoveResponseWindow::MoveResponseWindow(Session &session)
    : m_session(session)
{
}

qint64 MoveResponseWindow::sourceBoard() const
{
    return boardNumberOfItem(ido_board_list.selectedText());
}

void MoveResponseWindow::open()
{
    auto &main = m_session.main;
    main.disable();
    main.loseTitleFocus();
    visible = true;
    targetListHasFocus = false;
    ido_board_list.clear();
    ido_board_list.enabled = true;
    ido_board_list2.clear();
    IDO_TEXT.clear();
    IDO_TEXT_Enabled = true;
    while (m_session.moves.MoveTable.size() < kMoveEntries)
        m_session.moves.MoveTable << QString();
    if (main.Board_List.isEmpty())
        return;

    const bool moveRes = m_session.reading.LastWrittenKind == ReaderMode::MoveResponse;
    for (const BoardItem &board : boardItems(m_session)) {
        if (board.isChat())
            continue;
        if (board.number > 0) {
            ido_board_list.addItem(board.text);
            ido_board_list2.addItem(board.text);
        } else if (moveRes) {
            ido_board_list2.addItem(board.text);
        }
    }
    if (moveRes) {
        ido_board_list.clear();
        ido_board_list.addItem(main.Board_List.selectedText());
    }
    if (ido_board_list.ListIndex < 0 && !ido_board_list.isEmpty())
        selectSource(0);
    if (ido_board_list2.ListIndex < 0 && !ido_board_list2.isEmpty())
        selectTarget(0);
    mono = m_session.flag(settings::OptionFlags::MonoColors);
}

void MoveResponseWindow::selectSource(int index)
{
    ido_board_list.ListIndex = index;
    if (index >= 0)
        chooseSource();
}

void MoveResponseWindow::selectTarget(int index)
{
    ido_board_list2.ListIndex = index;
}

void MoveResponseWindow::chooseSource()
{
    const qint64 n = sourceBoard();
    if (n == 0) {
        IDO_TEXT = QStringLiteral("不可");
        IDO_TEXT_Enabled = false;
        return;
    }
    IDO_TEXT_Enabled = true;
    const qint64 target = targetOf(m_session.moves.MoveTable, n);
    if (target <= 0) {
        IDO_TEXT = kNone;
        selectTarget(ido_board_list.ListIndex < ido_board_list2.ListCount() ? ido_board_list.ListIndex : -1);
        return;
    }
    IDO_TEXT = QString::number(target);
    for (int i = 0; i < ido_board_list2.ListCount(); ++i) {
        const QString &item = ido_board_list2.item(i);
        const qsizetype at = findFrom(item, IDO_TEXT);
        if (at > 0 && at < findFrom(item, QStringLiteral("｢"))) {
            selectTarget(i);
            break;
        }
    }
}

void MoveResponseWindow::keyInTargetField(int keyCode)
{
    if (keyCode == keys::Key_Escape) {
        escapeFromControl();
        return;
    }
    if (IDO_TEXT == kNone)
        IDO_TEXT.clear();
    if (keyCode != kUp && keyCode != kDown)
        return;

    const qint64 typed = val(IDO_TEXT);
    bool listed = false;
    for (const QString &item : ido_board_list.items)
        listed = listed || boardNumberOfItem(item) == typed;
    const qint64 n = sourceBoard();
    if (listed && n >= 0 && n < kMoveEntries && n < m_session.moves.MoveTable.size())
        m_session.moves.MoveTable[n] = left(IDO_TEXT, 3);

    const int i = ido_board_list.ListIndex;
    if (keyCode == kUp && i > 0)
        selectSource(i - 1);
    else if (keyCode == kDown && i >= 0 && i < ido_board_list.ListCount() - 1)
        selectSource(i + 1);
    if (IDO_TEXT.isEmpty())
        IDO_TEXT = kNone;
}

void MoveResponseWindow::typeIntoIdoText(QChar c)
{
    keyInTargetField(c.unicode());
    if (IDO_TEXT_Enabled && IDO_TEXT.size() < 3)
        IDO_TEXT += c;
}

void MoveResponseWindow::saveMoveTable()
{
    const QString target = ido_board_list2.selectedText();
    const qsizetype bracket = findFrom(target, QStringLiteral("｢"));
    IDO_TEXT = QString::number(val(bracket > 4 ? mid(target, 4, bracket - 4) : mid(target, 4)));

    const qint64 n = sourceBoard();
    const bool hasSource = ido_board_list.ListIndex >= 0;
    const bool entryExists = n >= 0 && n < kMoveEntries && n < m_session.moves.MoveTable.size();
    if (hasSource && ido_board_list.selectedText() == target) {
        if (entryExists)
            m_session.moves.MoveTable[n] = QStringLiteral("0");
        IDO_TEXT = kNone;
    }
    // Only a real source of board 0 turns the command into a mail reply; OK
    // on an empty list is no reply.
    if (hasSource && n == 0)
        m_session.reading.LastWrittenKind = ReaderMode::MailReply;

    const qint64 typed = val(IDO_TEXT);
    bool listed = false;
    for (const QString &item : ido_board_list.items)
        listed = listed || boardNumberOfItem(item) == typed;
    // A target of more digits than an entry holds would be saved cut to
    // another board's number; the entry keeps what it had.
    const bool fits = IDO_TEXT.size() <= kMoveEntryBytes;
    if (listed && hasSource && entryExists && fits
        && m_session.reading.LastWrittenKind != ReaderMode::MoveResponse)
        m_session.moves.MoveTable[n] = IDO_TEXT;

    if (m_session.reading.LastWrittenKind != ReaderMode::MoveResponse
        && m_session.reading.LastWrittenKind != ReaderMode::MailReply)
        SaveMoveTable(m_session);
    close();
}

void MoveResponseWindow::pressCancelButton()
{
    if (m_session.reading.LastWrittenKind == ReaderMode::MoveResponse)
        m_session.reading.LastWrittenKind = ReaderMode::None;
    close();
}

void MoveResponseWindow::escapeFromControl()
{
    m_session.reading.LastWrittenKind = ReaderMode::None;
    close();
}

void MoveResponseWindow::keyInSourceList(int keyCode)
{
    if (keyCode == keys::Key_Enter)
        targetListHasFocus = true;
    else if (keyCode == keys::Key_Escape)
        escapeFromControl();
}

void MoveResponseWindow::keyInTargetList(int keyCode)
{
    if (keyCode == keys::Key_Enter)
        saveMoveTable();
    else if (keyCode == keys::Key_Escape)
        escapeFromControl();
}

void MoveResponseWindow::keyOnOkButton(int keyCode)
{
    if (keyCode == keys::Key_Escape)
        escapeFromControl();
}

void MoveResponseWindow::keyOnCancelButton(int keyCode)
{
    if (keyCode == keys::Key_Escape)
        escapeFromControl();
}

void MoveResponseWindow::pressKey(int keyCode)
{
    if (keyCode == keys::Key_Escape)
        cancel();
}

void MoveResponseWindow::close()
{
    if (!visible)
        return;
    visible = false;
    m_session.main.enabled = true;
    ShowMoveTarget(m_session, IDO_TEXT);
    clickTitleList(m_session.main);
}

} // namespace kavrel::moveres
