#include "export/Exporters.h"

#include "base/BoardItemText.h"

namespace kavrel::exporter {

namespace {

// Control characters other than TAB, noncharacters and lone surrogates have
// no place in a page: they become U+FFFD.
QString pageSafe(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            const char32_t u = QChar::surrogateToUcs4(c, text.at(i + 1));
            if (QChar::isNonCharacter(u)) {
                out += QChar::ReplacementCharacter;
            } else {
                out += c;
                out += text.at(i + 1);
            }
            ++i;
            continue;
        }
        const char16_t u = c.unicode();
        const bool control = (u < 0x20 && u != u'\t') || (u >= 0x7F && u <= 0x9F);
        if (control || c.isSurrogate() || QChar::isNonCharacter(u))
            out += QChar::ReplacementCharacter;
        else
            out += c;
    }
    return out;
}

QString escaped(const QString &text)
{
    return pageSafe(text).toHtmlEscaped();
}

QString numberLabel(const ExportRow &row)
{
    switch (row.kind) {
    case ExportRow::Kind::Mail:
        return QStringLiteral("[mail]");
    case ExportRow::Kind::Chat:
        return boarditem::kChatPrefix;
    case ExportRow::Kind::Garbled:
        return QStringLiteral("[????]");
    case ExportRow::Kind::Article:
        break;
    }
    return u'[' + row.number + u']';
}

QString dateLabel(const ExportRow &row)
{
    if (!row.date.isValid())
        return {};
    QString s = row.date.toString(QStringLiteral("yyyy/MM/dd"));
    if (row.time.isValid())
        s += u' ' + row.time.toString(QStringLiteral("HH:mm:ss"));
    return s;
}

QString senderLabel(const ExportRow &row)
{
    if (row.senderName.isEmpty())
        return row.senderId;
    if (row.senderId.isEmpty())
        return row.senderName;
    return row.senderName + QStringLiteral(" (") + row.senderId + u')';
}

// The depth of each exported row among the exported rows.
QList<int> exportedDepths(const ExportSelection &selection)
{
    QList<int> depth(selection.rows.size(), 0);
    for (qsizetype i = 0; i < selection.rows.size(); ++i) {
        const int p = selection.rows.at(i).parent;
        if (p >= 0 && selection.rows.at(p).exported)
            depth[i] = depth.at(p) + 1;
    }
    return depth;
}

const char *const kStyle = R"(
body {
  font-family: "Hiragino Kaku Gothic ProN", "Hiragino Sans", "Yu Gothic", YuGothic, Meiryo,
    "IPAexGothic", "IPAGothic", "Noto Sans CJK JP", sans-serif;
  max-width: 60em; margin: 2em auto; padding: 0 1em; line-height: 1.6; color: #222; background: #fff;
}
h1 { font-size: 1.4em; margin-bottom: 0.2em; }
p.net { margin-top: 0; color: #555; }
nav ul { list-style: none; padding-left: 1.2em; margin: 0; }
nav > ul { padding-left: 0; }
nav a { text-decoration: none; }
nav .who, nav .when { color: #666; font-size: 0.9em; margin-left: 0.5em; }
section.article { margin-top: 2em; }
h2 { font-size: 1.05em; border-bottom: 1px solid #999; padding-bottom: 0.2em; break-after: avoid; }
h2 .from, h2 .date { font-weight: normal; color: #555; margin-left: 0.7em; }
pre {
  font-family: "Hiragino Mincho ProN", "Yu Mincho", YuMincho, "MS Mincho", "ＭＳ 明朝",
    "IPAexMincho", "IPAMincho", "Noto Serif CJK JP", serif;
  font-size: 1em; white-space: pre-wrap; overflow-wrap: anywhere; tab-size: 8;
  margin: 0.5em 0 0 0; orphans: 3; widows: 3;
}
@media print {
  body { max-width: none; margin: 0; padding: 0; color: #000; }
  nav { break-after: page; }
  a { color: inherit; text-decoration: none; }
}
)";

} // namespace

QString textSeparator()
{
    return QString(72, u'-');
}

QByteArray toText(const ExportSelection &selection)
{
    QString out;
    bool first = true;
    for (const ExportRow &row : selection.rows) {
        if (!row.exported)
            continue;
        if (!first)
            out += textSeparator() + u'\n';
        first = false;
        for (const QString &line : row.lines)
            out += line + u'\n';
    }
    return out.toUtf8();
}

QByteArray toHtml(const ExportSelection &selection)
{
    const QList<int> depth = exportedDepths(selection);
    const QString board = escaped(selection.boardItem);
    QString out;
    out += QStringLiteral("<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n");
    out += QStringLiteral("<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n");
    out += QStringLiteral("<title>") + board;
    if (!selection.netName.isEmpty())
        out += QStringLiteral(" - ") + escaped(selection.netName);
    out += QStringLiteral("</title>\n<style>") + QString::fromUtf8(kStyle)
        + QStringLiteral("</style>\n</head>\n<body>\n");
    out += QStringLiteral("<h1>") + board + QStringLiteral("</h1>\n");
    if (!selection.netName.isEmpty())
        out += QStringLiteral("<p class=\"net\">") + escaped(selection.netName) + QStringLiteral("</p>\n");

    // The thread tree: nested lists, opened and closed by depth.
    out += QStringLiteral("<nav>\n<ul>\n");
    int open = -1; // depth of the last item written
    for (qsizetype i = 0; i < selection.rows.size(); ++i) {
        const ExportRow &row = selection.rows.at(i);
        if (!row.exported)
            continue;
        const int d = depth.at(i);
        if (open >= 0) {
            if (d > open) {
                out += QStringLiteral("\n<ul>\n");
            } else {
                out += QStringLiteral("</li>\n");
                for (int k = open; k > d; --k)
                    out += QStringLiteral("</ul>\n</li>\n");
            }
        }
        open = d;
        out += QStringLiteral("<li><a href=\"#a%1\">").arg(i + 1) + escaped(numberLabel(row));
        if (!row.title.trimmed().isEmpty())
            out += u' ' + escaped(row.title);
        out += QStringLiteral("</a>");
        const QString who = senderLabel(row);
        if (!who.isEmpty())
            out += QStringLiteral("<span class=\"who\">") + escaped(who) + QStringLiteral("</span>");
        const QString when = dateLabel(row);
        if (!when.isEmpty())
            out += QStringLiteral("<span class=\"when\">") + escaped(when) + QStringLiteral("</span>");
    }
    if (open >= 0) {
        out += QStringLiteral("</li>\n");
        for (int k = open; k > 0; --k)
            out += QStringLiteral("</ul>\n</li>\n");
    }
    out += QStringLiteral("</ul>\n</nav>\n");

    for (qsizetype i = 0; i < selection.rows.size(); ++i) {
        const ExportRow &row = selection.rows.at(i);
        if (!row.exported)
            continue;
        out += QStringLiteral("<section class=\"article\" id=\"a%1\">\n<h2>").arg(i + 1);
        out += QStringLiteral("<span class=\"no\">") + escaped(numberLabel(row)) + QStringLiteral("</span>");
        if (!row.title.trimmed().isEmpty())
            out += QStringLiteral(" <span class=\"title\">") + escaped(row.title) + QStringLiteral("</span>");
        const QString who = senderLabel(row);
        if (!who.isEmpty())
            out += QStringLiteral(" <span class=\"from\">") + escaped(who) + QStringLiteral("</span>");
        const QString when = dateLabel(row);
        if (!when.isEmpty())
            out += QStringLiteral(" <span class=\"date\">") + escaped(when) + QStringLiteral("</span>");
        // A parser drops one line end right after <pre>: the first line starts after it.
        out += QStringLiteral("</h2>\n<pre>\n");
        for (const QString &line : row.lines)
            out += escaped(line) + u'\n';
        out += QStringLiteral("</pre>\n</section>\n");
    }
    out += QStringLiteral("</body>\n</html>\n");
    return out.toUtf8();
}

} // namespace kavrel::exporter
