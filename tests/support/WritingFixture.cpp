#include "WritingFixture.h"

#include "base/Cp932.h"
#include "base/Text.h"
#include "moveres/MoveTable.h"

#include <QDir>

namespace kavrel::test {

using namespace kavrel::text;

namespace {
const QString kCrlf = QStringLiteral("\r\n");

// The lines of text from position p up to the line that is exactly "."
QStringList linesUntilDot(const QString &up, qsizetype p)
{
    QStringList out;
    for (;;) {
        const qsizetype e = findFrom(up, kCrlf, p);
        if (e == 0)
            return out;
        const QString line = mid(up, p, e - p);
        if (line == u".")
            return out;
        out << line;
        p = e + 2;
    }
}
} // namespace

FakeReader::FakeReader(Session &session)
    : m_session(session)
{
}

void FakeReader::board_list_Click()
{
    auto &main = m_session.main;
    main.clearTitleColumns();
    main.Article.clear();
    if (m_session.TitleBuildSuppress == 0)
        BuildTitleList();
    main.focusTitle();
    const QString item = main.Board_List.selectedText();
    const qint64 n = val(mid(item, findFrom(item, u'.') + 1));
    const qint64 t = moveres::targetOf(m_session.MoveTable, n);
    main.To_No.Caption = t > 0 ? QString::number(t) : QStringLiteral("なし");
    main.To_No.enabled = n != 0;
    if (n == 0)
        main.To_No.Caption = QStringLiteral("なし");
}

void FakeReader::BuildTitleList()
{
    ++builds;
    auto &main = m_session.main;
    main.ArticleCount.Caption = QStringLiteral("0/0");
    main.clearTitleColumns();
    for (const Row &row : boards.value(main.Board_List.ListIndex))
        main.appendRow(QStringLiteral(" "), row.number, row.info, row.title);
    if (!m_session.UpFileText.isEmpty())
        markWrittenRows();
}

void FakeReader::markWrittenRows()
{
    auto &main = m_session.main;
    const QString &up = m_session.UpFileText;
    const QString item = main.Board_List.selectedText();
    const QString no = mid(item, 4, findFrom(item, u' ') - 4);
    const QString N = numberWithBlank(val(no));
    const QString &kind = m_session.LastWrittenKind;

    if (no == u"0") {
        int n = 1;
        for (qsizetype p = findFrom(up, QStringLiteral("mw") + kCrlf); p > 0;
             p = findFrom(up, QStringLiteral("mw") + kCrlf, p + 1)) {
            const qsizetype e = findFrom(up, kCrlf + kCrlf + kCrlf, p);
            if (e == 0)
                break;
            QString recipients = mid(up, p + 4, e - p - 4);
            recipients.remove(kCrlf);
            const QString title = mid(up, e + 6, findFrom(up, kCrlf, e + 6) - e - 6);
            main.appendRow(QStringLiteral(" "), QStringLiteral("[手紙") + numberWithBlank(n++) + u']',
                recipients, title);
            if (kind == u"mail")
                main.selectTitle(main.rowCount() - 1);
        }
    }
    const QString boardLine = QStringLiteral("\\") + N + kCrlf;
    int writes = 1;
    int responses = 0;
    for (qsizetype p = findFrom(up, boardLine); p > 0; p = findFrom(up, boardLine, p + 1)) {
        const qsizetype next = p + boardLine.size();
        const qsizetype lineEnd = findFrom(up, kCrlf, next);
        if (charAt(up, next) == u'W') {
            main.appendRow(QStringLiteral(" "), QStringLiteral("[書込") + numberWithBlank(writes++) + u']',
                QStringLiteral(" "), mid(up, next + 1, lineEnd - next - 1));
            if (kind == u"Write")
                main.selectTitle(main.rowCount() - 1);
            continue;
        }
        if (charAt(up, lineEnd + 2) != u'P')
            continue;
        QString ref = mid(up, next, lineEnd - next);
        if (m_session.Sirial_Flg == 1 && ref.startsWith(u'%'))
            ref.remove(0, 1);
        int parent = -1;
        for (int i = 0; i < main.rowCount() && parent < 0; ++i) {
            if (m_session.Sirial_Flg == 1 ? main.Title3.item(i).contains(ref)
                                          : main.Title.item(i).contains(u'[' + ref))
                parent = i;
        }
        if (parent < 0)
            continue;
        const qsizetype indent = findFrom(main.Title.item(parent), u'[');
        int at = parent + 1;
        while (at < main.rowCount()) {
            const qsizetype b = findFrom(main.Title.item(at), u'[');
            if (b == 0 || b <= indent)
                break;
            ++at;
        }
        const qsizetype pEnd = findFrom(up, kCrlf, lineEnd + 2);
        QString title = mid(up, lineEnd + 3, pEnd - lineEnd - 3);
        if (m_session.Sirial_Flg == 1)
            title += QString(200, u' ') + ref;
        main.insertRow(at, QStringLiteral(" "), QStringLiteral("[レス") + numberWithBlank(++responses) + u']',
            QStringLiteral(" "), title);
        if (kind == u"Response")
            main.selectTitle(at);
    }
    const QString b = numberWithBlank(val(mid(item, 4, 5)));
    for (int i = 0; i < main.rowCount(); ++i) {
        const QString &t = main.Title.item(i);
        const QString a = numberWithBlank(val(mid(t, findFrom(t, u'[') + 1)));
        if (up.contains(QStringLiteral("\\") + b + kCrlf + a + kCrlf + QStringLiteral("SQ")))
            main.BatchSet.items[i] = QStringLiteral("S");
    }
    if (left(item, 7) == u"[XCHAT]") {
        const qsizetype dot = findFrom(item, u'.');
        const QString c = QString::number(val(mid(item, 11, dot - 11)));
        if (up.contains(QStringLiteral("X") + c + kCrlf)) {
            main.appendRow(
                QStringLiteral(" "), QStringLiteral("[書込]"), QStringLiteral(" "), QStringLiteral(" "));
            if (kind == u"Write")
                main.selectTitle(main.rowCount() - 1);
        }
    }
}

void FakeReader::Title_Click()
{
    auto &main = m_session.main;
    const int i = main.Title.ListIndex;
    if (i < 0 || i >= main.rowCount())
        return;
    main.ArticleCount.Caption = QStringLiteral("%1/%2").arg(i + 1).arg(main.rowCount());
    const QString row = main.Title.item(i);
    main.Article.clear();
    if (row.startsWith(QStringLiteral("[手紙")) || row.startsWith(QStringLiteral("[書込"))
        || row.startsWith(QStringLiteral("[レス"))) {
        showMarkRow(row);
        return;
    }
    for (const Row &r : boards.value(main.Board_List.ListIndex)) {
        if (r.number == row) {
            main.Article.items = r.article;
            break;
        }
    }
}

void FakeReader::showMarkRow(const QString &row)
{
    auto &main = m_session.main;
    const QString &up = m_session.UpFileText;
    const qint64 n = val(mid(row, 4));
    const QString kindText = mid(row, 2, 2);
    const QString item = main.Board_List.selectedText();
    if (kindText == u"手紙") {
        qsizetype p = 0;
        for (qint64 k = 0; k < n; ++k) {
            p = findFrom(up, QStringLiteral("mw") + kCrlf, p + 1);
            if (p == 0)
                return;
        }
        const qsizetype e = findFrom(up, kCrlf + kCrlf + kCrlf, p);
        if (e > 0)
            main.Article.items = linesUntilDot(up, e + 6);
        return;
    }
    if (left(item, 7) == u"[XCHAT]") {
        const qsizetype dot = findFrom(item, u'.');
        const QString head = QStringLiteral("X") + QString::number(val(mid(item, 11, dot - 11))) + kCrlf;
        const qsizetype p = findFrom(up, head);
        if (p == 0)
            return;
        for (const QString &l : linesUntilDot(up, p + head.size())) {
            if (l.isEmpty())
                break;
            main.Article.addItem(QStringLiteral("[書込                   ]") + l);
        }
        return;
    }
    const QString boardLine
        = QStringLiteral("\\") + numberWithBlank(val(mid(item, 4, findFrom(item, u' ') - 4))) + kCrlf;
    qint64 count = 0;
    for (qsizetype p = findFrom(up, boardLine); p > 0; p = findFrom(up, boardLine, p + 1)) {
        const qsizetype next = p + boardLine.size();
        qsizetype start = 0;
        if (kindText == u"書込" && charAt(up, next) == u'W') {
            start = next + 1;
        } else if (kindText == u"レス") {
            const qsizetype lineEnd = findFrom(up, kCrlf, next);
            if (charAt(up, lineEnd + 2) == u'P')
                start = lineEnd + 3;
        }
        if (start > 0 && ++count == n) {
            main.Article.items = linesUntilDot(up, start);
            return;
        }
    }
}

void FakeReader::TITLE_GotFocus()
{
    auto &main = m_session.main;
    main.ArticleCount.Caption = QStringLiteral("0/0");
    if (main.rowCount() > 0 && main.Title.ListIndex < 0)
        main.selectTitle(0);
    moveres::TitleFocusFollowUp(m_session);
}

void FakeReader::Title_KeyDown(int keyCode, int shift)
{
    auto &main = m_session.main;
    if (keyCode == 69 && left(main.Board_List.selectedText(), 7) == u"[XCHAT]")
        keyCode = 87;
    m_session.RewriteFlag = 0;
    m_session.SavedTitleIndex = main.Title.ListIndex;
    if (m_session.LastWrittenKind != u"move Res" && m_session.LastWrittenKind != u"mail Res")
        m_session.LastWrittenKind.clear();
    if (m_session.compose)
        m_session.compose->composeKey(keyCode, shift);
}

WritingFixture::WritingFixture()
{
    const QString root = dir.path();
    session.AppDir = root + QStringLiteral("/app");
    QDir().mkpath(session.AppDir);
    QDir().mkpath(root + QStringLiteral("/up"));
    QDir().mkpath(root + QStringLiteral("/bl"));
    session.Dir[settings::DirRecord::Up_Dir] = root + QStringLiteral("/up");
    session.Dir[settings::DirRecord::BL_Dir] = root + QStringLiteral("/bl");
    session.Dir[settings::DirRecord::Editor_Path] = script.path();
    settings::NetRecord net;
    net[settings::NetRecord::Net_Name] = QStringLiteral("TESTNET");
    net[settings::NetRecord::Up_File_Name] = QStringLiteral("TEST.UP");
    net[settings::NetRecord::Board_list_File_Name] = QStringLiteral("TEST.BL");
    net[settings::NetRecord::ID_LIST_FILE_NAME] = QStringLiteral("TEST.ID");
    session.NetTable = { net };
    session.NetIndex = 0;
    session.Flags[settings::OptionFlags::ResBlankQuoteDelete] = QStringLiteral("0");
    session.messages = &messages;
    session.editor = &editor;
    session.main.events = &reader;
    session.MoveTable = moveres::decodeMoveTable({});
    session.main.visible = true;
}

QString WritingFixture::upPath() const
{
    return session.upFilePath();
}

QString WritingFixture::tempPath() const
{
    return session.appFile(QStringLiteral("TEMP.TXT"));
}

QByteArray WritingFixture::upBytes() const
{
    return readFile(upPath());
}

void WritingFixture::setBoards(const QStringList &items)
{
    session.main.Board_List.items = items;
    session.main.Board_List.ListIndex = -1;
}

void WritingFixture::setRows(int boardIndex, const QList<FakeReader::Row> &rows)
{
    reader.boards[boardIndex] = rows;
}

void WritingFixture::setUpFile(const QString &text)
{
    session.UpFileText = text;
    writeFile(upPath(), sjis(text));
}

void WritingFixture::select(int boardIndex, int row)
{
    session.main.loseTitleFocus();
    session.main.selectBoard(boardIndex);
    if (row >= 0)
        session.main.selectTitle(row);
}

void WritingFixture::press(char letter, int shift)
{
    reader.Title_KeyDown(letter, shift);
}

int WritingFixture::rowOf(const QString &titleStart) const
{
    const auto &title = session.main.Title;
    for (int i = 0; i < title.ListCount(); ++i) {
        if (title.item(i).startsWith(titleStart))
            return i;
    }
    return -1;
}

} // namespace kavrel::test
