#include "fulltext/Query.h"

#include "fulltext/Fold.h"

#include <QRegularExpression>

namespace kavrel::fulltext {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == QChar(0x3000);
}

bool isOpenQuote(QChar c)
{
    return c == u'"' || c == QChar(0x201C);
}

bool isCloseQuote(QChar c)
{
    return c == u'"' || c == QChar(0x201D);
}

// "name:" of a filter: ASCII letters before the first colon.
bool filterName(const QString &word, QString *name, QString *value)
{
    const qsizetype colon = word.indexOf(u':');
    if (colon <= 0)
        return false;
    for (qsizetype i = 0; i < colon; ++i) {
        const QChar c = word.at(i);
        if (!(c >= u'a' && c <= u'z') && !(c >= u'A' && c <= u'Z'))
            return false;
    }
    *name = word.left(colon).toLower();
    *value = word.mid(colon + 1);
    return true;
}

} // namespace

QDate parseShortDate(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("^([0-9]{2})/([0-9]{1,2})/([0-9]{1,2})$"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return {};
    const int yy = m.captured(1).toInt();
    return QDate(yy < 80 ? 2000 + yy : 1900 + yy, m.captured(2).toInt(), m.captured(3).toInt());
}

Query parseQuery(const QString &input)
{
    Query q;
    const QString &text = input;
    qsizetype i = 0;
    while (i < text.size()) {
        if (isBlank(text.at(i))) {
            ++i;
            continue;
        }
        if (isOpenQuote(text.at(i))) {
            qsizetype e = i + 1;
            while (e < text.size() && !isCloseQuote(text.at(e)))
                ++e;
            if (e >= text.size()) {
                q.error = QStringLiteral("引用符が閉じていません: %1").arg(text.mid(i));
                return q;
            }
            const QString phrase = fold(QStringView(text).mid(i + 1, e - i - 1));
            if (!phrase.isEmpty())
                q.terms.append(phrase);
            i = e + 1;
            continue;
        }
        qsizetype e = i;
        while (e < text.size() && !isBlank(text.at(e)) && !isOpenQuote(text.at(e)))
            ++e;
        const QString word = text.mid(i, e - i);
        i = e;
        QString name, value;
        // Full-width letters and colon count as the filter's own.
        if (!filterName(fold(word), &name, &value)) {
            q.terms.append(fold(word));
            continue;
        }
        if (value.isEmpty()) {
            q.error = QStringLiteral("%1: の後に値がありません").arg(name);
            return q;
        }
        qsizetype colon = word.indexOf(u':');
        const qsizetype wide = word.indexOf(QChar(0xFF1A));
        if (colon < 0 || (wide >= 0 && wide < colon))
            colon = wide;
        const QString rawValue = word.mid(colon + 1);
        if (name == u"from") {
            q.from = value;
        } else if (name == u"board") {
            bool ok = false;
            const int n = value.toInt(&ok);
            if (!ok || n < 0) {
                q.error = QStringLiteral("board: にはボード番号を書いてください: %1").arg(word);
                return q;
            }
            q.board = n;
        } else if (name == u"net") {
            q.net = rawValue;
        } else if (name == u"since" || name == u"until") {
            const QDate d = parseShortDate(value);
            if (!d.isValid()) {
                q.error = QStringLiteral("%1: の日付は YY/MM/DD で書いてください: %2").arg(name, word);
                return q;
            }
            (name == u"since" ? q.since : q.until) = d;
        } else {
            q.error = QStringLiteral("知らないフィルタです: %1:（使えるのは from: board: net: since: "
                                     "until:。「:」を含む語は \"…\" で囲んでください）")
                          .arg(name);
            return q;
        }
    }
    if (q.terms.isEmpty() && !q.hasFilter())
        q.error = QStringLiteral("検索する言葉かフィルタを入れてください");
    return q;
}

} // namespace kavrel::fulltext
