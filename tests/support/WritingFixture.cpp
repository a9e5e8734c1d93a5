#include "WritingFixture.h"

#include "LogIndexFixture.h"
#include "TestKeys.h"

#include "base/FileIo.h"
#include "base/Text.h"
#include "logindex/LogOpener.h"
#include "moveres/MoveTable.h"

#include <QDir>
#include <QTest>

namespace kavrel::test {

namespace writinglogs {

namespace {
const QString kSep = QStringLiteral("=======================================");
const QString kPrompt = QStringLiteral("Main Command(?:Help)>");
const QString kSub = QStringLiteral("command (?:説明):");
const QString kEnd = QStringLiteral("読み終わりました。");
const QString kChatQuestion = QStringLiteral("何番に入りますか？ ([RET]:終了):");
} // namespace

QString standardLog()
{
    return crlfLines({
        QStringLiteral("ATDT 03-1234-5678"),
        QStringLiteral("CONNECT 9600"),
        QString(),
        QStringLiteral("かぶらネットへようこそ！"),
        QStringLiteral("ID:0100"),
        kPrompt + QStringLiteral("MR"),
        kMailBox,
        kSep,
        QStringLiteral("mail 26/12/06 21:03:11 (0200) 来週の集まりについて"),
        QStringLiteral("    412 bytes 0200:山田花子 "),
        kSub,
        QStringLiteral("山田です。"),
        QStringLiteral("オフ会は駅前の喫茶店に１４時集合です。"),
        kSep,
        QStringLiteral("mail 26/12/06 22:40:02 (0300) ログ整理ソフトの件"),
        QStringLiteral("    288 bytes 0300:佐藤一郎 "),
        kSub,
        QStringLiteral("佐藤です。"),
        QStringLiteral("先日の件、試してみました。"),
        kSep,
        QStringLiteral("mail(3/5) 26/12/05 10:00:00 メンテナンスのお知らせ"),
        QStringLiteral("    150 bytes 0001:管理人 "),
        kSub,
        QStringLiteral("今夜２時から停止します。"),
        kEnd,
        kPrompt + QStringLiteral("RN 1"),
        kBoard1,
        kSep,
        QStringLiteral("TALK(12/12) 26/12/06 08:00:00 おはようございます"),
        QStringLiteral("     95 bytes 0400:鈴木三郎 "),
        kSub,
        QStringLiteral("鈴木です。今日も寒いですね。"),
        kEnd,
        kPrompt + QStringLiteral("RN 7"),
        kBoard7,
        kSep,
        QStringLiteral("INFO(50/50) 26/12/05 18:00:00 年末年始の営業"),
        QStringLiteral("    200 bytes 0001:管理人 "),
        kSub,
        QStringLiteral("年末年始も休まず営業します。"),
        kEnd,
        kPrompt + QStringLiteral("RN 12"),
        kBoard12,
        kSep,
        QStringLiteral("HOBBY(305/308) 26/12/06 09:00:12 今日の一枚"),
        QStringLiteral("   1024 bytes 0400:鈴木三郎 "),
        kSub,
        QStringLiteral("鈴木です。"),
        QString(),
        QStringLiteral("近所の公園で撮った夕焼けです。"),
        kSep,
        QStringLiteral("HOBBY(306/308) 26/12/06 09:45:50 Re:今日の一枚"),
        QStringLiteral(" <305:0400>への返信"),
        QStringLiteral("    298 bytes 0300:佐藤一郎 "),
        kSub,
        QStringLiteral("佐藤です。きれいですね。"),
        kSep,
        QStringLiteral("HOBBY(307/308) 26/12/06 10:20:00 週末の釣果"),
        QStringLiteral("    310 bytes 0300:佐藤一郎 "),
        kSub,
        QStringLiteral("アジが二十匹です。"),
        kSep,
        QStringLiteral("HOBBY(308/308) 26/12/06 11:00:00 読まなかった記事"),
        QStringLiteral("    120 bytes 0200:山田花子 "),
        kSub + QStringLiteral("n"),
        kEnd,
        kPrompt + QStringLiteral("X"),
        kChatQuestion + QStringLiteral("1"),
        QString(),
        QStringLiteral("1.雑談ルーム"),
        QStringLiteral("現在の参加者は２人です。"),
        QStringLiteral("-----"),
        QStringLiteral("0100さんが入室しました。"),
        QStringLiteral("[0200] こんばんは"),
        QStringLiteral("[0100] こんばんは"),
        kChatQuestion,
        kPrompt + QStringLiteral("BYE"),
        QStringLiteral("ご利用ありがとうございました。"),
        QStringLiteral("NO CARRIER"),
    });
}

QString serialLog()
{
    return crlfLines({
        QStringLiteral("ATDT 045-987-6543"),
        QStringLiteral("CONNECT 14400"),
        QString(),
        QStringLiteral("みなとネット"),
        QStringLiteral("ID:0042"),
        kPrompt + QStringLiteral("R 5"),
        QStringLiteral("No.5 ｢港町だより｣"),
        QStringLiteral("■■204501  MINATO"),
        QStringLiteral("MINATO(5010/5012) 26/12/06 08:10:00 朝市の案内"),
        QStringLiteral("    240 bytes 0007:高橋 "),
        kSub,
        QStringLiteral("今度の日曜に朝市があります。"),
        QStringLiteral("■■204502  MINATO"),
        QStringLiteral("MINATO(5011/5012) 26/12/06 08:55:21 Re:朝市の案内"),
        QStringLiteral(" <5010:返信>"),
        QStringLiteral("    180 bytes 0042:田中 "),
        kSub,
        QStringLiteral("行きます！"),
        QStringLiteral("■■204503  MINATO"),
        QStringLiteral("MINATO(5012/5012) 26/12/06 09:30:47 灯台の見学会"),
        QStringLiteral("    205 bytes 0007:高橋 "),
        kSub,
        QStringLiteral("見学会の参加者を募集します。"),
        kEnd,
        kPrompt + QStringLiteral("BYE"),
        QStringLiteral("NO CARRIER"),
    });
}

} // namespace writinglogs

WritingFixture::WritingFixture(Net net, const QString &rootFolder)
{
    const QString root = rootFolder.isEmpty() ? dir.path() : rootFolder;
    for (const char *sub : { "app", "log", "up", "bl" })
        QDir(root).mkpath(QLatin1String(sub));
    session.AppDir = fileio::joinPath(root, QStringLiteral("app"));
    session.Dir[settings::DirRecord::LOG_Dir] = fileio::joinPath(root, QStringLiteral("log"));
    session.Dir[settings::DirRecord::Up_Dir] = fileio::joinPath(root, QStringLiteral("up"));
    session.Dir[settings::DirRecord::BL_Dir] = fileio::joinPath(root, QStringLiteral("bl"));
    session.Dir[settings::DirRecord::Editor_Path] = script.path();

    settings::NetRecord record = netRecord(QStringLiteral("かぶらネット"), QStringLiteral("TEST"));
    record[settings::NetRecord::Header]
        = text::fixedWidth(QStringLiteral("======================================="), 80);
    if (net == Net::Serial) {
        record[settings::NetRecord::Net_Name] = text::fixedWidth(QStringLiteral("みなとネット"), 80);
        record[settings::NetRecord::Sirial_Flg] = text::fixedWidth(QStringLiteral("1"), 80);
        record[settings::NetRecord::SirialHeader] = text::fixedWidth(QStringLiteral("■■"), 80);
    }
    session.NetTable = { record };
    session.NetIndex = 0;
    session.Flags[settings::OptionFlags::ResBlankQuoteDelete] = QStringLiteral("0");
    session.messages = &messages;
    session.editor = &editor;
    session.moves.MoveTable = moveres::decodeMoveTable({});
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

QString WritingFixture::idListPath() const
{
    return session.idListFilePath();
}

void WritingFixture::open(const QString &logText)
{
    const QString name = QStringLiteral("TEST1206.LOG");
    writeFile(fileio::joinPath(session.Dir[settings::DirRecord::LOG_Dir], name), sjis(logText));
    logindex::OpenFromNetScreen(session, { name });
}

void WritingFixture::setBoards(const QStringList &items)
{
    session.main.Board_List.items = items;
    session.main.Board_List.ListIndex = -1;
}

void WritingFixture::setUpFile(const QString &text)
{
    session.upFile.load(text);
    writeFile(upPath(), sjis(text));
}

int WritingFixture::boardOf(int number) const
{
    return reader.boardItemOfNumber(number);
}

int WritingFixture::chatRoom() const
{
    const auto &items = session.main.Board_List.items;
    for (int i = 0; i < items.size(); ++i) {
        if (items.at(i).startsWith(QStringLiteral("[XCHAT]")))
            return i;
    }
    return -1;
}

void WritingFixture::select(int boardIndex, int row)
{
    reader.chooseBoard(boardIndex);
    if (row >= 0)
        reader.chooseRow(row);
}

void WritingFixture::click(const QString &titleStart)
{
    const int row = rowOf(titleStart);
    if (row < 0)
        QTest::qFail(qPrintable(QStringLiteral("no row ") + titleStart), __FILE__, __LINE__);
    reader.chooseRow(row);
}

void WritingFixture::press(char letter, int shift)
{
    test::pressKey(reader, letter, shift);
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

QStringList WritingFixture::titles() const
{
    return session.main.Title.items;
}

QStringList WritingFixture::marks() const
{
    QStringList out;
    for (const QString &t : session.main.Title.items) {
        if (t.startsWith(QStringLiteral("[書込")) || t.startsWith(QStringLiteral("[レス"))
            || t.startsWith(QStringLiteral("[手紙")))
            out << t;
    }
    return out;
}

} // namespace kavrel::test
