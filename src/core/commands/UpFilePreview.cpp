#include "commands/UpFilePreview.h"

#include "base/Cp932.h"
#include "logindex/LogFiles.h"
#include "session/Session.h"

#include <QRegularExpression>

namespace kavrel::commands::preview {

namespace {

QString kindName(UpCommandKind kind)
{
    switch (kind) {
    case UpCommandKind::Write:
        return QStringLiteral("write");
    case UpCommandKind::Response:
        return QStringLiteral("response");
    case UpCommandKind::Mail:
        return QStringLiteral("mail");
    case UpCommandKind::ChatWrite:
        return QStringLiteral("chat");
    case UpCommandKind::BatchMark:
        return QStringLiteral("batch");
    case UpCommandKind::Other:
        break;
    }
    return {};
}

// The signature's lines as patterns: its date and time placeholders stand
// for whatever they were expanded to.
QList<QRegularExpression> signaturePatterns(const QString &signature)
{
    static const QRegularExpression placeholder(QStringLiteral("%_[A-Za-z0-9]+_%"));
    QList<QRegularExpression> patterns;
    QString text = signature;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    while (text.endsWith(u'\n'))
        text.chop(1);
    if (text.isEmpty())
        return patterns;
    for (const QString &line : text.split(u'\n')) {
        QString pattern;
        qsizetype from = 0;
        for (auto it = placeholder.globalMatch(line); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            pattern += QRegularExpression::escape(line.mid(from, m.capturedStart() - from))
                + QStringLiteral(".*");
            from = m.capturedEnd();
        }
        pattern += QRegularExpression::escape(line.mid(from));
        patterns << QRegularExpression(QRegularExpression::anchoredPattern(pattern));
    }
    return patterns;
}

// The body without the signature at its end, when it ends with one.
QStringList withoutSignature(const QStringList &body, const QList<QRegularExpression> &signature)
{
    if (signature.isEmpty() || body.size() < signature.size())
        return body;
    const qsizetype start = body.size() - signature.size();
    for (qsizetype i = 0; i < signature.size(); ++i) {
        if (!signature.at(i).match(body.at(start + i)).hasMatch())
            return body;
    }
    return body.mid(0, start);
}

bool blank(const QStringList &lines)
{
    for (const QString &line : lines) {
        if (!line.trimmed().isEmpty())
            return false;
    }
    return true;
}

} // namespace

QStringList Row::fields() const
{
    return { QString::number(n), kind, QString::number(board), reference, title, QString::number(bytes),
        warnings.join(u',') };
}

QList<Row> rows(const UpFile &up, const Facts &facts)
{
    const QList<QRegularExpression> signature = signaturePatterns(facts.signature);
    QList<Row> out;
    for (const UpCommand &c : up.commands()) {
        if (c.kind == UpCommandKind::Other)
            continue;
        Row row;
        row.n = int(out.size()) + 1;
        row.kind = kindName(c.kind);
        row.text = up.text().mid(c.start, c.length);
        row.bytes = cp932::encode(row.text).size();
        row.board = c.kind == UpCommandKind::Mail ? 0 : c.board;
        row.boardName = c.kind == UpCommandKind::ChatWrite ? facts.chatRoomNames.value(c.board)
                                                           : facts.boardNames.value(row.board);
        if (c.kind != UpCommandKind::BatchMark)
            row.title = c.title;
        if (c.kind == UpCommandKind::Mail) {
            QStringList ids;
            for (const QString &r : c.recipients) {
                if (!r.trimmed().isEmpty())
                    ids << r.trimmed();
            }
            row.reference = ids.join(u',');
        } else if (c.kind == UpCommandKind::Response || c.kind == UpCommandKind::BatchMark) {
            row.reference = c.reference.trimmed();
        }

        row.firstLines = c.body.mid(0, kFirstLines);
        const QStringList body = c.kind == UpCommandKind::ChatWrite ? c.lines() : c.body;
        if (c.kind != UpCommandKind::BatchMark && blank(withoutSignature(body, signature)))
            row.warnings << QStringLiteral("empty");
        const bool onBoard = c.kind == UpCommandKind::Write || c.kind == UpCommandKind::Response
            || c.kind == UpCommandKind::BatchMark;
        if (onBoard && facts.boardKnown && !facts.boardKnown(c.board))
            row.warnings << QStringLiteral("unknown-board");
        if (c.kind == UpCommandKind::Response && facts.articleKnown
            && !facts.articleKnown(c.board, row.reference))
            row.warnings << QStringLiteral("unknown-article");
        if (c.kind == UpCommandKind::Mail && row.reference.isEmpty())
            row.warnings << QStringLiteral("no-recipient");
        for (const QString &line : c.lines()) {
            if (cp932::encode(line).size() > kLongLineColumns) {
                row.warnings << QStringLiteral("long-line");
                break;
            }
        }
        if (!c.complete)
            row.warnings << QStringLiteral("unclosed");
        out << row;
    }
    return out;
}

NetFiles netFilesOf(const Session &session)
{
    return { session.AppDir, session.netField(settings::NetRecord::Net_Name), logindex::listLogFiles(session),
        session.signatureFilePath(), session.boardListFilePath() };
}

QStringList shownCells(const Row &row)
{
    const QString board = row.boardName.isEmpty() ? QString::number(row.board)
                                                  : QString::number(row.board) + u' ' + row.boardName;
    return { QString::number(row.n), shownKind(row.kind), board, row.reference, row.title,
        QString::number(row.bytes), row.firstLines.join(QStringLiteral("↵ ")), shownWarnings(row.warnings) };
}

QString shownText(const Row &row)
{
    // Each CR LF shown where it is sent.
    QString shown = row.text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("↵\n"));
    return shown;
}

QString shownKind(const QString &kind)
{
    static const QHash<QString, QString> names { { QStringLiteral("write"), QStringLiteral("書込") },
        { QStringLiteral("response"), QStringLiteral("レス") },
        { QStringLiteral("mail"), QStringLiteral("手紙") },
        { QStringLiteral("chat"), QStringLiteral("チャット") },
        { QStringLiteral("batch"), QStringLiteral("バッチ") } };
    return names.value(kind, kind);
}

QString shownWarnings(const QStringList &warnings)
{
    static const QHash<QString, QString> names { { QStringLiteral("empty"), QStringLiteral("本文なし") },
        { QStringLiteral("unknown-board"), QStringLiteral("ボードがありません") },
        { QStringLiteral("unknown-article"), QStringLiteral("記事がログにありません") },
        { QStringLiteral("no-recipient"), QStringLiteral("宛先なし") },
        { QStringLiteral("long-line"), QStringLiteral("80桁を超える行") },
        { QStringLiteral("unclosed"), QStringLiteral("終わりの行がありません") } };
    QStringList shown;
    for (const QString &w : warnings)
        shown << names.value(w, w);
    return shown.join(QStringLiteral("、"));
}

} // namespace kavrel::commands::preview
