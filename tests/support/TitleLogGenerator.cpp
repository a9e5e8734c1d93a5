#include "TitleLogGenerator.h"

#include "session/Session.h"

#include <QRandomGenerator>

namespace kavrel::test {

namespace {
const QString kCrlf = QStringLiteral("\r\n");
}

void TestMarkers::apply(Session &session, bool serial)
{
    session.ArticleHeader = articleHeader();
    session.MainPromptMarker = mainPrompt();
    session.ReadEndMarker = readEnd();
    session.SubcommandMarker = subcommand();
    session.XchatMarker = xchat();
    session.Sirial_Flg = serial ? 1 : 0;
}

GeneratedLog generateLog(const LogShape &shape)
{
    QRandomGenerator rng(shape.variant);
    GeneratedLog out;
    QString &t = out.text;
    auto chance = [&](int percent) { return int(rng.bounded(100)) < percent; };
    const QStringList words
        = { QStringLiteral("雑談"), QStringLiteral("今日の話題"), QStringLiteral("質問です"),
              QStringLiteral("Re:"), QStringLiteral("お知らせ"), QStringLiteral("test") };
    auto word = [&] { return words.at(int(rng.bounded(words.size()))); };
    auto stamp = [&](int i) {
        return QStringLiteral("26/%1/%2 %3:%4:%5")
            .arg(1 + i % 12, 2, 10, QChar(u'0'))
            .arg(1 + i % 28, 2, 10, QChar(u'0'))
            .arg(i % 24, 2, 10, QChar(u'0'))
            .arg(i % 60, 2, 10, QChar(u'0'))
            .arg((i * 7) % 60, 2, 10, QChar(u'0'));
    };
    QString body;
    {
        QString line;
        while (line.size() < shape.bodyLineLength)
            line += QStringLiteral("本文のテキストabc ");
        line.truncate(shape.bodyLineLength);
        for (int i = 0; i < shape.bodyLines; ++i)
            body += line + kCrlf;
    }
    int serialNo = 1000;
    auto header = [&] {
        QString h = TestMarkers::articleHeader();
        if (shape.serial)
            h += QString::number(++serialNo).rightJustified(8, u' ');
        return h + QStringLiteral(" 12/01") + kCrlf;
    };
    auto answer = [&](bool read) {
        if (!read)
            return TestMarkers::subcommand() + (chance(50) ? QStringLiteral("n") : QStringLiteral("q"))
                + kCrlf;
        const QStringList answers
            = { QString(), QStringLiteral("r"), QStringLiteral("y"), QStringLiteral("Ｒ") };
        return TestMarkers::subcommand() + answers.at(int(rng.bounded(answers.size()))) + kCrlf;
    };

    t += QStringLiteral("ホストへようこそ") + kCrlf;
    // The mail box.
    if (shape.mails) {
        out.boardItems << QStringLiteral("No.0 ｢メール｣");
        out.boardKeys << QStringLiteral("mail");
        t += TestMarkers::mainPrompt() + QStringLiteral("mr") + kCrlf + QStringLiteral("No.0 ｢メール｣")
            + kCrlf;
        const int mails = 3 + int(rng.bounded(4));
        for (int i = 0; i < mails; ++i) {
            t += header();
            t += (chance(30) ? QStringLiteral("0:mail ") : QStringLiteral("mail ")) + stamp(i)
                + QStringLiteral(" From:ABC%1 (差出人)").arg(i, 5, 10, QChar(u'0')) + kCrlf;
            t += QStringLiteral("  %1 bytes ABC%2:差出人").arg(100 + i).arg(i, 5, 10, QChar(u'0')) + kCrlf;
            t += body;
            if (chance(30))
                t += QStringLiteral("No.9 は本文中の行") + kCrlf;
        }
        t += TestMarkers::readEnd() + kCrlf;
    }
    // Numbered boards.
    for (int b = 1; b <= shape.boards; ++b) {
        const QString key = QStringLiteral("BRD%1").arg(b);
        const QString item = QStringLiteral("No.%1 ｢ボード%1｣").arg(b);
        out.boardItems << item;
        out.boardKeys << key;
        t += TestMarkers::mainPrompt() + QStringLiteral("b %1").arg(b) + kCrlf + item + kCrlf;
        QStringList numbers;
        for (int a = 0; a < shape.articlesPerBoard; ++a) {
            QString number = QString::number(1000 + a);
            const bool dup = !numbers.isEmpty() && chance(shape.duplicatePercent);
            if (dup)
                number = numbers.at(int(rng.bounded(numbers.size())));
            else
                numbers << number;
            t += header();
            QString first = key + u'(' + number + QStringLiteral("/%1) ").arg(1000 + shape.articlesPerBoard)
                + stamp(a) + u' ' + word() + QString::number(a);
            if (shape.oddities && chance(3))
                first = key + QStringLiteral("(?\?\?\?/9999) ") + stamp(a) + QStringLiteral(" 化け");
            if (shape.oddities && chance(2))
                first = key + QStringLiteral("(") + number + QStringLiteral("/") + QStringLiteral(" x");
            t += first + kCrlf;
            if (numbers.size() > 1 && chance(shape.responsePercent)) {
                const QString parent
                    = chance(90) ? numbers.at(int(rng.bounded(numbers.size()))) : QStringLiteral("7777");
                t += QStringLiteral(" <") + parent + QStringLiteral(":ABC00001 さんへのレス") + kCrlf;
            }
            const int token = int(rng.bounded(shape.oddities ? 4 : 1));
            if (token == 0)
                t += QStringLiteral("  %1 bytes ABC%2:投稿者").arg(200 + a).arg(a, 5, 10, QChar(u'0'))
                    + kCrlf;
            else if (token == 1)
                t += QStringLiteral("  2KB ABC%1:投稿者").arg(a, 5, 10, QChar(u'0')) + kCrlf;
            else if (token == 2)
                t += QStringLiteral("  title-only ABC%1").arg(a, 5, 10, QChar(u'0')) + kCrlf;
            const bool read = !chance(shape.titleOnlyPercent);
            if (read) {
                t += body;
                if (shape.oddities && chance(5))
                    t += QStringLiteral(">>--- 引用") + kCrlf;
            }
            t += answer(read);
        }
        if (!(shape.oddities && b == shape.boards && chance(30)))
            t += TestMarkers::readEnd() + kCrlf;
    }
    // Chat rooms.
    if (shape.chatRooms) {
        for (int room = 1; room <= 2; ++room) {
            t += TestMarkers::mainPrompt() + QStringLiteral("x") + kCrlf + TestMarkers::xchat() + kCrlf;
            t += QString::number(room) + kCrlf;
            const QString roomLine = QStringLiteral("%1.チャット%1").arg(room);
            t += roomLine + kCrlf + QStringLiteral("入室しました") + kCrlf + QStringLiteral("参加者") + kCrlf
                + QStringLiteral("一覧") + kCrlf;
            t += QStringLiteral("[ABC00001] こんにちは") + kCrlf + QStringLiteral("[ABC00002] どうも")
                + kCrlf;
            t += QStringLiteral("退室") + kCrlf;
            out.boardItems << QStringLiteral("[XCHAT] No") + roomLine;
        }
    }
    t += TestMarkers::mainPrompt() + QStringLiteral("bye") + kCrlf;

    if (shape.upFile) {
        QString &u = out.upFile;
        u += QStringLiteral("mw") + kCrlf + QStringLiteral(" 100") + kCrlf + kCrlf + kCrlf
            + QStringLiteral("手紙の題") + kCrlf + QStringLiteral("手紙の本文") + kCrlf + QStringLiteral(".")
            + kCrlf + QStringLiteral("y");
        for (int b = 1; b <= shape.boards; ++b) {
            u += QStringLiteral("\\ %1").arg(b) + kCrlf + QStringLiteral("W書いた題") + kCrlf
                + QStringLiteral("本文") + kCrlf + QStringLiteral(".") + kCrlf + QStringLiteral("yQ");
            const QString ref = shape.serial ? QStringLiteral("%    1003") : QStringLiteral("1002");
            u += QStringLiteral("\\ %1").arg(b) + kCrlf + ref + kCrlf + QStringLiteral("Pレスの題") + kCrlf
                + QStringLiteral("本文") + kCrlf + QStringLiteral(".") + kCrlf + QStringLiteral("yQ");
            u += QStringLiteral("\\ %1").arg(b) + kCrlf + QStringLiteral(" 1001") + kCrlf
                + QStringLiteral("SQ");
        }
        u += QStringLiteral("X1") + kCrlf + QStringLiteral("やあ") + kCrlf + QStringLiteral(".") + kCrlf;
    }
    return out;
}

void loadGenerated(Session &session, const GeneratedLog &log, bool serial)
{
    TestMarkers::apply(session, serial);
    session.log.LogText = log.text;
    session.upFile.load(log.upFile);
    session.log.BoardKeys = log.boardKeys;
    session.main.Board_List.items = log.boardItems;
    session.main.Board_List.ListIndex = -1;
}

} // namespace kavrel::test
