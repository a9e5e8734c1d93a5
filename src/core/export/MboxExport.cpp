#include "export/Exporters.h"

#include "base/BoardItem.h"
#include "base/FileIo.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QRegularExpression>
#include <QUrl>

namespace kavrel::exporter {

namespace {

constexpr int kLineLimit = 78;
// UTF-8 bytes per encoded word: 12 characters of "=?UTF-8?B?" and "?=" plus
// 56 of base64 make 68, so that "Subject: " and one word stay within 78.
constexpr int kWordBytes = 42;
// Ancestors named in References besides the top of the thread.
constexpr int kReferences = 20;

const char *const kDays[] = { "Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun" };
const char *const kMonths[]
    = { "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec" };

// Joins tokens with single blanks into "Name: ..." lines of at most 78
// columns, folding before a token that would not fit.
QByteArray folded(const QByteArray &name, const QList<QByteArray> &tokens)
{
    QByteArray out = name + ':';
    qsizetype column = out.size();
    for (const QByteArray &token : tokens) {
        if (column + 1 + token.size() > kLineLimit && column > name.size() + 1) {
            out += "\n";
            column = 0;
        }
        out += ' ' + token;
        column += 1 + token.size();
    }
    return out + '\n';
}

// RFC 2047 encoded words of the whole text, each holding whole characters.
QList<QByteArray> encodedWords(const QString &text)
{
    QList<QByteArray> words;
    QByteArray chunk;
    auto flush = [&] {
        if (!chunk.isEmpty())
            words << "=?UTF-8?B?" + chunk.toBase64() + "?=";
        chunk.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QByteArray bytes = text.mid(i, n).toUtf8();
        if (chunk.size() + bytes.size() > kWordBytes)
            flush();
        chunk += bytes;
        i += n - 1;
    }
    flush();
    return words;
}

// Printable ASCII words between single blanks, none of which could be
// taken for an encoded word: such a text is written as it is.
bool plainAscii(const QString &text, bool phrase)
{
    if (text.isEmpty())
        return true;
    if (text.startsWith(u' ') || text.endsWith(u' ') || text.contains(QStringLiteral("  "))
        || text.contains(QStringLiteral("=?")))
        return false;
    static const QString specials = QStringLiteral("()<>[]:;@\\,.\"");
    for (const QString &word : text.split(u' ')) {
        if (word.size() > 70)
            return false;
        for (const QChar c : word) {
            if (c.unicode() < 0x21 || c.unicode() > 0x7E)
                return false;
            if (phrase && specials.contains(c))
                return false;
        }
    }
    return true;
}

QList<QByteArray> textTokens(const QString &text, bool phrase)
{
    if (plainAscii(text, phrase)) {
        QList<QByteArray> tokens;
        if (!text.isEmpty()) {
            for (const QString &word : text.split(u' '))
                tokens << word.toLatin1();
        }
        return tokens;
    }
    return encodedWords(text);
}

// An ID as the local part of an address: atext characters only.
QString localPart(const QString &id)
{
    static const QString allowed = QStringLiteral("!#$%&'*+-/=?^_`{|}~");
    QString out;
    for (const QChar c : id) {
        const bool ascii = c.unicode() < 0x80;
        out += ascii && (c.isLetterOrNumber() || allowed.contains(c)) ? c : u'_';
    }
    return out.isEmpty() ? QStringLiteral("unknown") : out;
}

QString address(const ExportSelection &selection, const ExportRow &row)
{
    return localPart(row.senderId) + u'@' + netDomain(selection.netName);
}

QByteArray rfc5322Date(const QDate &date, const QTime &time)
{
    const QTime t = time.isValid() ? time : QTime(0, 0);
    return QByteArray(kDays[date.dayOfWeek() - 1]) + ", "
        + QByteArray::number(date.day()).rightJustified(2, '0') + ' ' + kMonths[date.month() - 1] + ' '
        + QByteArray::number(date.year()) + ' ' + t.toString(QStringLiteral("HH:mm:ss")).toLatin1()
        + " +0900";
}

// The From_ line's time: the article's time in UTC, as asctime writes it.
QByteArray envelopeDate(const ExportRow &row)
{
    QDateTime utc(QDate(1970, 1, 1), QTime(0, 0), Qt::UTC);
    if (row.date.isValid())
        utc = QDateTime(row.date, row.time.isValid() ? row.time : QTime(0, 0), Qt::UTC)
                  .addSecs(qint64(-9) * 3600);
    const QDate d = utc.date();
    return QByteArray(kDays[d.dayOfWeek() - 1]) + ' ' + kMonths[d.month() - 1] + ' '
        + QByteArray::number(d.day()).rightJustified(2, ' ') + ' '
        + utc.time().toString(QStringLiteral("HH:mm:ss")).toLatin1() + ' ' + QByteArray::number(d.year());
}

// Body text in 8 bits: no NUL and no bare CR.
QString bodySafe(const QString &line)
{
    QString out = line;
    for (QChar &c : out) {
        if (c == u'\0' || c == u'\r')
            c = QChar::ReplacementCharacter;
    }
    return out;
}

} // namespace

QString netDomain(const QString &netName)
{
    // Letters and digits stay, everything else becomes a hyphen; the name is
    // then written in its ASCII-compatible form, so a Japanese name stays
    // readable to anything that decodes it.
    QString label;
    for (const QChar c : netName.trimmed()) {
        if (c.isLetterOrNumber())
            label += c.toLower();
        else if (!label.endsWith(u'-'))
            label += u'-';
    }
    while (label.startsWith(u'-'))
        label.remove(0, 1);
    while (label.endsWith(u'-'))
        label.chop(1);
    QString ace = label.isEmpty() ? QString() : QString::fromLatin1(QUrl::toAce(label));
    static const QRegularExpression ldh(QStringLiteral("^[a-z0-9](?:[a-z0-9-]{0,61}[a-z0-9])?$"));
    if (!ldh.match(ace).hasMatch()) {
        ace = label.isEmpty() ? QStringLiteral("net")
                              : QStringLiteral("net-")
                + QString::fromLatin1(
                    QCryptographicHash::hash(label.toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
    }
    return ace + QStringLiteral(".invalid");
}

QString messageId(const ExportSelection &selection, const ExportRow &row)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    const bool numbered = row.kind == ExportRow::Kind::Article && digits.match(row.number).hasMatch();
    QString when = QStringLiteral("0");
    if (row.date.isValid())
        when = row.date.toString(QStringLiteral("yyyyMMdd"))
            + (row.time.isValid() ? row.time : QTime(0, 0)).toString(QStringLiteral("HHmmss"));
    QString local = when + u'.'
        + (numbered                                 ? row.number
                : row.kind == ExportRow::Kind::Mail ? QStringLiteral("mail")
                                                    : QStringLiteral("x"))
        + QStringLiteral(".b") + QString::number(selection.boardNumber);
    // Mails and rows without a readable number may share all of that: their
    // place in the log tells them apart.
    if (!numbered)
        local += QStringLiteral(".p") + QString::number(row.logPosition);
    return u'<' + local + u'@' + netDomain(selection.netName) + u'>';
}

QByteArray unstructuredHeader(const QByteArray &name, const QString &value)
{
    return folded(name, textTokens(value, false));
}

QByteArray toMbox(const ExportSelection &selection)
{
    QByteArray out;
    // Every row's ID and the top of its thread, once: parents come before
    // their responses.
    QList<QByteArray> ids;
    QList<int> roots;
    for (qsizetype i = 0; i < selection.rows.size(); ++i) {
        const ExportRow &row = selection.rows.at(i);
        ids << messageId(selection, row).toLatin1();
        roots << (row.parent < 0 ? int(i) : roots.at(row.parent));
    }
    for (qsizetype i = 0; i < selection.rows.size(); ++i) {
        const ExportRow &row = selection.rows.at(i);
        if (!row.exported || row.kind == ExportRow::Kind::Chat)
            continue;
        const QByteArray from = address(selection, row).toLatin1();
        out += "From " + from + ' ' + envelopeDate(row) + '\n';

        QList<QByteArray> fromTokens = textTokens(row.senderName, true);
        fromTokens << '<' + from + '>';
        out += folded("From", fromTokens);
        if (row.date.isValid())
            out += "Date: " + rfc5322Date(row.date, row.time) + '\n';
        out += unstructuredHeader("Subject", row.title);
        out += "Message-ID: " + ids.at(i) + '\n';

        // The nearest ancestors, and the top of the thread when the thread is
        // deeper than that: a header the size of the whole thread on every
        // message would grow with the square of its depth.
        QList<QByteArray> references;
        int p = row.parent;
        for (; p >= 0 && references.size() < kReferences; p = selection.rows.at(p).parent)
            references.prepend(ids.at(p));
        if (p >= 0)
            references.prepend(ids.at(roots.at(p)));
        if (!references.isEmpty()) {
            out += "In-Reply-To: " + references.last() + '\n';
            out += folded("References", references);
        }
        out += "MIME-Version: 1.0\n";
        out += "Content-Type: text/plain; charset=UTF-8\n";
        out += "Content-Transfer-Encoding: 8bit\n";
        out += '\n';

        // mboxrd: a line that reads "From " after any ">" gets one more ">".
        static const QRegularExpression fromLine(QStringLiteral("^>*From "));
        for (const QString &line : row.lines) {
            for (const QString &piece : bodySafe(line).split(u'\n')) {
                if (fromLine.match(piece).hasMatch())
                    out += '>';
                out += piece.toUtf8() + '\n';
            }
        }
        out += '\n';
    }
    return out;
}

bool parseFormat(const QString &name, Format *format)
{
    if (name == u"text")
        *format = Format::Text;
    else if (name == u"html")
        *format = Format::Html;
    else if (name == u"mbox")
        *format = Format::Mbox;
    else
        return false;
    return true;
}

ExportResult exportBoard(const ExportSource &source, int boardItem, int row, bool thread, Format format)
{
    const ExportSelection selection = collectExportRows(source, boardItem, row, thread);
    ExportResult result;
    int articles = 0; // exported rows other than chats
    for (const ExportRow &r : selection.rows)
        articles += r.exported && r.kind != ExportRow::Kind::Chat ? 1 : 0;
    if (format == Format::Mbox && (selection.chatRoom || (articles == 0 && selection.exportedCount() > 0))) {
        result.message = QStringLiteral("チャットルームはmbox形式ではエクスポートできません");
        return result;
    }
    if (selection.exportedCount() == 0) {
        result.message = kNothingToExport;
        return result;
    }
    switch (format) {
    case Format::Text:
        result.bytes = toText(selection);
        break;
    case Format::Html:
        result.bytes = toHtml(selection);
        break;
    case Format::Mbox:
        result.bytes = toMbox(selection);
        break;
    }
    return result;
}

QString suggestedFileName(const ExportSource &source, int boardItem, Format format)
{
    const BoardItem item = BoardItem::fromText(source.boardItems.at(boardItem));
    // A chat room has no name between the brackets: its text stands for it.
    const QString name = item.isChat() ? item.text.trimmed() : item.name.trimmed();
    QString base = source.netName + u'-' + QString::number(item.number) + u'-' + name;
    for (QChar &c : base) {
        if (c < u' ' || QStringView(u"/\\:*?\"<>|").contains(c))
            c = u'_';
    }
    static const char *const kSuffixes[] = { "txt", "html", "mbox" };
    return base + u'.' + QLatin1String(kSuffixes[int(format)]);
}

QString exportToFile(
    const ExportSource &source, int boardItem, int row, bool thread, Format format, const QString &path)
{
    const ExportResult result = exportBoard(source, boardItem, row, thread, format);
    if (!result.ok())
        return result.message;
    fileio::FileError error;
    if (!fileio::writeAtomic(path, result.bytes, &error))
        return error.toString();
    return {};
}

} // namespace kavrel::exporter
