#include "LogGenerator.h"

#include "base/Cp932.h"

#include <QRandomGenerator>

#include <algorithm>
#include <numeric>
#include <vector>

namespace kavrel::test {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

const QStringList kFamilyNames = { QStringLiteral("山田"), QStringLiteral("佐藤"), QStringLiteral("鈴木"),
    QStringLiteral("高橋"), QStringLiteral("田中"), QStringLiteral("渡辺") };
const QStringList kGivenNames = { QStringLiteral("太郎"), QStringLiteral("花子"), QStringLiteral("一郎"),
    QStringLiteral("由美"), QStringLiteral("健"), QStringLiteral("直子") };
const QStringList kTopics = { QStringLiteral("モデムの設定について"), QStringLiteral("新しいソフトの感想"),
    QStringLiteral("オフ会のお知らせ"), QStringLiteral("質問です"), QStringLiteral("ＰＣ－９８の増設メモリ"),
    QStringLiteral("今日の天気") };
const QStringList kBodyLines = { QStringLiteral("こんにちは。いつも楽しく読ませていただいています。"),
    QStringLiteral("先日の件ですが、設定を変えたらうまく動きました。"),
    QStringLiteral("通信速度は2400bpsから9600bpsに上げてみました。"),
    QStringLiteral("ところで、次のオフ会はいつ頃になりそうでしょうか。"),
    QStringLiteral("Thanks for the tip about the init string (ATZ)."),
    QStringLiteral("では、また書き込みます。よろしくお願いします。") };
const QStringList kRooms = { QStringLiteral("雑談ルーム"), QStringLiteral("初心者ルーム"),
    QStringLiteral("ゲームの部屋"), QStringLiteral("深夜の部屋") };

QString senderId(int i)
{
    return QStringLiteral("KVR%1").arg(i, 5, 10, QLatin1Char('0'));
}

QString senderName(int i)
{
    return kFamilyNames.at(i % kFamilyNames.size()) + kGivenNames.at((i / 7) % kGivenNames.size());
}

QString number5(int n)
{
    return QStringLiteral("%1").arg(n, 5, 10, QLatin1Char('0'));
}

class Writer
{
public:
    Writer(const LogGeneratorOptions &o)
        : m_o(o)
        , m_random(o.variant)
    {
    }

    QString run()
    {
        line(QStringLiteral("ATDT0123456789"));
        line(QStringLiteral("CONNECT 9600"));
        line(QString());
        line(QStringLiteral("ようこそ　ＫＡＶＲＥＬ－ＮＥＴへ"));
        line(QStringLiteral("ID: KVR00001"));
        line(QStringLiteral("Password:"));
        line(QString());
        mailBox();

        std::vector<int> order(size_t(std::max(0, m_o.boards)));
        std::iota(order.begin(), order.end(), 1);
        for (size_t i = order.size(); i > 1; --i)
            std::swap(order[i - 1], order[m_random.bounded(quint32(i))]);
        int skipped = 0;
        for (size_t i = 0; i < order.size(); ++i) {
            board(order[i]);
            if (skipped < m_o.skippedBoards && i % 5 == 2)
                skippedBoard(m_o.boards + 1 + skipped++);
        }
        while (skipped < m_o.skippedBoards)
            skippedBoard(m_o.boards + 1 + skipped++);

        for (int room = 1; room <= m_o.chatRooms; ++room)
            chat(room);
        prompt(QStringLiteral("BYE"));
        line(QStringLiteral("ご利用ありがとうございました。"));
        line(QStringLiteral("NO CARRIER"));
        return m_out;
    }

private:
    void line(const QString &text) { m_out += text + kCrLf; }
    void prompt(const QString &command) { line(m_o.mainPrompt + command); }

    void header()
    {
        if (m_o.serial)
            line(m_o.articleHeader + QString::number(++m_serial));
        else
            line(m_o.articleHeader);
    }

    void article(const QString &key, int number, int total, bool isResponse)
    {
        const int sender = int(m_random.bounded(quint32(std::max(1, m_o.senders))));
        const QString body = bodyText();
        const QString title = kTopics.at(m_random.bounded(quint32(kTopics.size())));

        header();
        line(key + QStringLiteral("(") + number5(number) + QStringLiteral("/") + number5(total)
            + QStringLiteral(")  26/12/07  ") + QString::number(cp932::byteLength(body))
            + QStringLiteral(" bytes ") + senderId(sender) + QStringLiteral(":") + senderName(sender)
            + QStringLiteral(" "));
        if (isResponse) {
            const int parent = std::max(1, number - 1 - int(m_random.bounded(3u)));
            line(QStringLiteral(" <") + number5(parent) + QStringLiteral(":   Re:") + title);
        } else {
            line(QStringLiteral("12:%1 ").arg(int(m_random.bounded(60u)), 2, 10, QLatin1Char('0')) + title);
        }
        line(QString());
        if (int(m_random.bounded(100u)) < m_o.unreadPercent) {
            line(m_o.subcommand + QStringLiteral("N"));
            return;
        }
        line(m_o.subcommand + QStringLiteral("R"));
        m_out += body;
    }

    // A mail as the mail box prints it: the date and time and the sender's
    // ID on the first line, no number. The random draws are an article's, so
    // that the rest of the run is the same whatever the mail box holds.
    void mail()
    {
        const int sender = int(m_random.bounded(quint32(std::max(1, m_o.senders))));
        const QString body = bodyText();
        const QString title = kTopics.at(m_random.bounded(quint32(kTopics.size())));
        const int minute = int(m_random.bounded(60u));

        header();
        line(QStringLiteral("mail 26/12/07 12:%1:00 (").arg(minute, 2, 10, QLatin1Char('0'))
            + senderId(sender) + QStringLiteral(") ") + title);
        line(QStringLiteral("  %1 bytes ").arg(cp932::byteLength(body), 5) + senderId(sender)
            + QStringLiteral(":") + senderName(sender) + QStringLiteral(" "));
        if (int(m_random.bounded(100u)) < m_o.unreadPercent) {
            line(m_o.subcommand + QStringLiteral("N"));
            return;
        }
        line(m_o.subcommand + QStringLiteral("R"));
        m_out += body;
    }

    void mailBox()
    {
        prompt(QStringLiteral("M"));
        line(QStringLiteral("No.0 ｢メールボックス｣"));
        line(QString());
        for (int i = 1; i <= m_o.mails; ++i)
            mail();
        line(m_o.readEnd);
    }

    void board(int number)
    {
        prompt(QStringLiteral("B ") + QString::number(number));
        line(QString());
        line(QStringLiteral("No.") + QString::number(number) + QStringLiteral(" ｢")
            + LogGenerator::boardTitle(number) + QStringLiteral("｣"));
        line(QString());
        const QString key = LogGenerator::boardKey(number);
        const int first = 100 + int(m_random.bounded(900u));
        const int count
            = number == 1 && m_o.largeBoardArticles > 0 ? m_o.largeBoardArticles : m_o.articlesPerBoard;
        const int total = first + count;
        for (int i = 0; i < count; ++i) {
            const bool isResponse = i > 0 && int(m_random.bounded(100u)) < m_o.responsePercent;
            article(key, first + i, total, isResponse);
        }
        line(m_o.readEnd);
    }

    void skippedBoard(int number)
    {
        prompt(QStringLiteral("B ") + QString::number(number));
        line(QStringLiteral("No.") + QString::number(number) + QStringLiteral(" ｢")
            + LogGenerator::boardTitle(number) + QStringLiteral("｣"));
        line(m_o.readEnd);
    }

    void chat(int room)
    {
        prompt(QStringLiteral("X"));
        line(m_o.xchat + QString::number(room));
        line(QString());
        line(QStringLiteral("%1.").arg(room, 2) + kRooms.at((room - 1) % kRooms.size())
            + QStringLiteral("  (3人)"));
        line(QStringLiteral("入室しました。"));
        line(QString());
        line(QString());
        for (int i = 0; i < 3; ++i) {
            const int sender = int(m_random.bounded(quint32(std::max(1, m_o.senders))));
            line(QStringLiteral("[") + senderId(sender) + QStringLiteral("] こんばんは"));
        }
        line(QStringLiteral("退室しました。"));
    }

    // A body's lines. Real prose takes the same draws as the fixed lines, so
    // that both give runs of the same boards, articles and senders.
    QString bodyText()
    {
        QString body;
        const int lines = m_o.bodyLines + int(m_random.bounded(3u));
        for (int i = 0; i < lines; ++i) {
            const QString &fixed = kBodyLines.at(m_random.bounded(quint32(kBodyLines.size())));
            body += (m_o.bodyProse && !m_o.bodyProse->isEmpty() ? nextProseLine() : fixed) + kCrLf;
        }
        return body;
    }

    const QString &nextProseLine()
    {
        if (m_deckNext >= m_deck.size()) {
            m_deck.resize(size_t(m_o.bodyProse->size()));
            std::iota(m_deck.begin(), m_deck.end(), 0);
            for (size_t i = m_deck.size(); i > 1; --i)
                std::swap(m_deck[i - 1], m_deck[m_deckRandom.bounded(quint32(i))]);
            m_deckNext = 0;
        }
        return m_o.bodyProse->at(m_deck[m_deckNext++]);
    }

    const LogGeneratorOptions &m_o;
    QRandomGenerator m_random;
    QRandomGenerator m_deckRandom { m_o.variant * 2654435761u + 1u };
    std::vector<qsizetype> m_deck;
    size_t m_deckNext = 0;
    QString m_out;
    int m_serial = 0;
};

} // namespace

LogGenerator::LogGenerator(LogGeneratorOptions options)
    : m_options(std::move(options))
{
}

QString LogGenerator::text() const
{
    return Writer(m_options).run();
}

QByteArray LogGenerator::bytes() const
{
    return cp932::encode(text());
}

LogGeneratorOptions LogGenerator::sized(LogGeneratorOptions options, qint64 targetBytes)
{
    // Measure a small run and scale the articles per board.
    LogGeneratorOptions probe = options;
    probe.articlesPerBoard = 10;
    const qint64 small = LogGenerator(probe).bytes().size();
    probe.articlesPerBoard = 20;
    const qint64 larger = LogGenerator(probe).bytes().size();
    const qint64 perTen = std::max<qint64>(1, larger - small);
    const qint64 fixed = small - perTen;
    options.articlesPerBoard = int(std::max<qint64>(1, (targetBytes - fixed) * 10 / perTen));
    return options;
}

QString LogGenerator::boardKey(int board)
{
    return QStringLiteral("BRD%1").arg(board, 3, 10, QLatin1Char('0'));
}

QString LogGenerator::boardTitle(int board)
{
    return kTopics.at(board % kTopics.size()).left(4) + QStringLiteral("ボード") + QString::number(board);
}

} // namespace kavrel::test
