#include "reader/ArticlePlaces.h"

#include "base/Text.h"

#include <algorithm>

using namespace kavrel::text;

namespace kavrel::reader {

bool isMarkRow(const QString &item)
{
    return item.startsWith(QStringLiteral("[書込")) || item.startsWith(QStringLiteral("[レス"))
        || item.startsWith(QStringLiteral("[手紙"));
}

const QStringList &readAnswers()
{
    static const QStringList answers
        = { CRLF, QStringLiteral("r"), QStringLiteral("R"), QStringLiteral("Ｒ"), QStringLiteral("ｒ"),
              QStringLiteral("y"), QStringLiteral("Y"), QStringLiteral("Ｙ"), QStringLiteral("ｙ") };
    return answers;
}

bool answeredRead(QStringView text, const QString &prompt)
{
    // The first prompt is searched for once: it also starts the walk below.
    const qsizetype first = text.indexOf(prompt);
    if (first < 0)
        return true;
    const QStringList &answers = readAnswers();
    if (prompt.isEmpty()) {
        return std::any_of(
            answers.begin(), answers.end(), [&](const QString &answer) { return text.contains(answer); });
    }
    // Each prompt in the text, and what follows it.
    for (qsizetype i = first; i >= 0; i = text.indexOf(prompt, i + 1)) {
        const QStringView after = text.mid(i + prompt.size());
        if (std::any_of(answers.begin(), answers.end(),
                [&](const QString &answer) { return after.startsWith(answer); }))
            return true;
    }
    return false;
}

qsizetype articleEnd(LogMarkerIndex &index, qsizetype start, const QString &titleItem)
{
    return articleEndBy(
        index, titleItem, [start](const Occurrences &places, qsizetype) { return places.findFrom(start); });
}

qsizetype mailStart(LogMarkerIndex &index, int row)
{
    const qsizetype start = index.mailLine().nth(row + 1);
    return start != 0 ? start : index.mailLine0().nth(row + 1);
}

QString garbledRowText()
{
    return QStringLiteral("このアーティクルは文字化けを起こした可能性があります。") + CRLF
        + QStringLiteral(" ＬＯＧファイルを確認してください。") + CRLF;
}

QString unshowableText()
{
    return QStringLiteral("このアーティクルは文字化けを起こしています。表示できませんでした。");
}

void appendChatLines(const QString &log, qsizetype start, QStringList &lines)
{
    for (qsizetype q = start; charAt(log, q) == u'[';) {
        const qsizetype e = findFrom(log, CRLF, q);
        lines.append(e == 0 ? mid(log, q) : mid(log, q, e - q));
        if (e == 0)
            break;
        q = e + 2;
    }
}

void appendArticleLines(QStringView article, QStringList &lines)
{
    for (qsizetype from = 0;;) {
        const qsizetype i = article.indexOf(CRLF, from);
        if (i < 0)
            break;
        lines.append(article.mid(from, i - from).toString());
        from = i + 2;
    }
}

} // namespace kavrel::reader
