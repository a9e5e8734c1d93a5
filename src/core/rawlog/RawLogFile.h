#pragma once

#include "base/FileIo.h"

#include <QByteArrayView>
#include <QCache>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

namespace kavrel::rawlog {

// Where the article that the view shows lies in the raw log: its first line
// and the number of lines.
struct ArticleLines
{
    qsizetype first = -1;
    qsizetype count = 0;
    bool isEmpty() const { return first < 0 || count <= 0; }
    bool contains(qsizetype line) const { return !isEmpty() && line >= first && line < first + count; }
};

// A run of a raw line as shown: text of the log, or marks standing for
// line ends, control characters and bytes that are no Shift-JIS.
struct DisplayPiece
{
    QString text;
    bool marker = false;
};

// A log file exactly as it was captured, for looking at what the host
// printed. The file is mapped into memory, not read: opening counts the
// line ends of each block of the file in one fast pass, and the starts of
// the lines of a block are found only when a line of that block is asked
// for. Lines end after each LF; the line end belongs to its line.
class RawLogFile
{
public:
    RawLogFile() = default;
    RawLogFile(const RawLogFile &) = delete;
    RawLogFile &operator=(const RawLogFile &) = delete;

    bool open(const QString &path, fileio::FileError *error = nullptr);
    void close();
    bool isOpen() const { return m_open; }
    const QString &path() const { return m_path; }
    qint64 size() const { return m_size; }

    qsizetype lineCount() const { return m_lineCount; }
    qint64 lineStart(qsizetype line) const;
    // The bytes of a line, its line end included.
    QByteArrayView lineBytes(qsizetype line) const;
    // The line that holds a byte offset.
    qsizetype lineAt(qint64 offset) const;

    // The line as Kavrel reads it: decoded, without its CR LF (or LF).
    QString text(qsizetype line) const;
    // The line as captured, every byte visible: control characters in caret
    // notation (CR LF as ^M^J, TAB as ^I, ESC as ^[), a byte that is no
    // Shift-JIS as its two hex digits in angle brackets ("<FF>"). The pieces
    // tell the marks from the text, so that a view can set them apart.
    QList<DisplayPiece> displayPieces(qsizetype line) const;
    QString displayText(qsizetype line) const;
    // A board line: one that begins with "No.".
    bool isBoardLine(qsizetype line) const;

    // The next line after from (forward) or before it (backward) whose text
    // contains needle, going round the end of the file; -1 when none does.
    qsizetype find(const QString &needle, qsizetype from, bool forward = true) const;

    // Where the shown article lies in this file (see shownArticleLines),
    // found from whichever end of the log is nearer. When the view's lines
    // are not the file's lines there (a notice replaced the article), the
    // first line is kept and the count is 0.
    ArticleLines locate(const QString &logText, qsizetype shownStart, const QStringList &articleLines) const;

private:
    const QList<qint64> &lineEndsOfBlock(qsizetype block) const;
    QByteArrayView bytes() const { return QByteArrayView(m_data, m_size); }

    static constexpr qint64 kBlock = qint64(256) * 1024;

    QFile m_file;
    QString m_path;
    bool m_open = false;
    const char *m_data = nullptr;
    qint64 m_size = 0;
    qsizetype m_lineCount = 0;
    QList<qsizetype> m_endsBefore; // per block: the LFs before it; one more entry for the end
    mutable QCache<qsizetype, QList<qint64>> m_blockEnds { 64 };
};

// Number of LF characters in text before index end (0-based, exclusive).
qsizetype countLineFeeds(QStringView text);
qsizetype countLineFeeds(QByteArrayView bytes);

// Where the article that the view shows lies in the raw log: its first line
// and the number of lines, from where the shown text begins in the log text
// (1-based, as the reader answers it) and the lines the view shows.
ArticleLines shownArticleLines(const QString &logText, qsizetype shownStart, const QStringList &articleLines);

} // namespace kavrel::rawlog
