#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace kavrel {

enum class UpCommandKind { Write, Response, Mail, ChatWrite, BatchMark, Other };

// One command of the up file as Kavrel writes it, or a stretch of text that
// Kavrel did not write (Other), with its exact place in the text.
struct UpCommand
{
    UpCommandKind kind = UpCommandKind::Other;
    // The board of a write, response or batch mark; the room of a chat write.
    qint64 board = 0;
    // The reference line of a response; the article number line of a batch
    // mark (" 345").
    QString reference;
    // The recipient lines of a mail as written (" 100").
    QStringList recipients;
    // The first line of the text (a chat write's first line, too).
    QString title;
    // The lines after the title up to the closing "." (the signature
    // included); for a chat write, all its lines after the first.
    QStringList body;
    // 0-based start and length in the up file text.
    qsizetype start = 0;
    qsizetype length = 0;
    // False for a command whose closing line is missing (the file was cut
    // short or edited by hand): it still has its mark row and shows its
    // complete lines, but it is the user's text and never cut.
    bool complete = true;

    // The title and the body, as the command will send them.
    QStringList lines() const;
};

// The up file text read once into its commands. The commands cover the text
// without gap or overlap, so cutting one keeps every other character, and
// text Kavrel did not write stays as it stands.
class UpFile
{
public:
    UpFile() = default;
    explicit UpFile(const QString &text);

    const QString &text() const { return m_text; }
    const QList<UpCommand> &commands() const { return m_commands; }

    // The n-th (from 1) command of its kind, as the mark rows number them;
    // nullptr when there are fewer.
    const UpCommand *write(qint64 board, qint64 n) const;
    const UpCommand *response(qint64 board, qint64 n) const;
    const UpCommand *mail(qint64 n) const;
    // The first chat write of a room.
    const UpCommand *chatWrite(qint64 chat) const;
    // The batch mark of an article of a board.
    const UpCommand *batchMark(qint64 board, qint64 article) const;

    // The text without the command.
    QString without(const UpCommand &command) const;
    // The text written back from the commands; the same as text().
    QString toText() const;

private:
    const UpCommand *nth(UpCommandKind kind, qint64 board, qint64 n) const;

    QString m_text;
    QList<UpCommand> m_commands;
};

} // namespace kavrel
