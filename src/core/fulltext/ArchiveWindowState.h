#pragma once

#include "fulltext/Archive.h"
#include "fulltext/FullTextIndex.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>
#include <utility>

namespace kavrel::fulltext {

// The headless state of the 通し読み window: one net's boards across every
// log, the chosen board's rows in thread order, the months chosen on its
// timeline and the rows they leave, the chosen row and its article. It reads
// the index only: no file of the net is changed. A board's rows are read a
// page at a time, as the list asks for them: a board of a hundred thousand
// articles shows its first rows at once.
class ArchiveWindowState
{
public:
    static constexpr int kPageRows = 500;

    explicit ArchiveWindowState(const QString &appDir, int pageRows = kPageRows);

    // Brings the index up to date for the net, lists its boards and chooses
    // the board asked for, or the first one when the net has no such board.
    // False on an index error (errorText()).
    bool open(const QString &net, std::optional<int> boardNo);
    // Chooses a board: its rows, its timeline, no months, no row.
    void chooseBoard(int boardNo);

    const QString &net() const { return m_net; }
    const QVector<ArchiveBoard> &boards() const { return m_boards; }
    // The chosen board's place in boards(), or -1.
    int boardIndex() const { return m_boardIndex; }
    std::optional<int> boardNo() const;

    // Every month from the board's first article to its last, with its count.
    const QList<std::pair<QString, int>> &months() const { return m_months; }
    // Chooses the months from one to another (places in months(), either way
    // round, clamped to them); the rows are those of their days.
    void selectMonths(int from, int to);
    void clearMonths();
    bool hasMonths() const { return m_firstMonth >= 0; }
    int firstMonth() const { return m_firstMonth; }
    int lastMonth() const { return m_lastMonth; }
    DayRange days() const;

    // The rows the months leave (all without months), in thread order, as
    // far as they are read: months read every row of the board.
    const QVector<ArchiveRow> &rows() const { return hasMonths() ? m_rows : m_boardRows; }
    // How many rows the months leave, read or not.
    qsizetype rowCount() const { return hasMonths() ? m_rows.size() : m_boardRowCount; }
    bool canReadMore() const { return rows().size() < rowCount(); }
    // Reads the next page of rows, or every row left. False on an index
    // error: the rows then end with those read.
    bool readMore();
    bool readAll();
    // Chooses a row and reads its article's lines: those the article view
    // shows for the shown capture, reading the rows up to it first. False on
    // an index error; -1 chooses none.
    bool chooseRow(int row);
    int row() const { return m_row; }
    const QStringList &lines() const { return m_lines; }
    // A row as a hit of 全ログ検索, to open its shown capture in the reader.
    Hit hitOf(int row) const;

    QString errorText() const { return m_error; }
    QStringList notices() const { return m_notices; }

private:
    bool fail();
    // Forgets the chosen board's articles, months, rows and article lines.
    void clearChosenBoard();
    void filter();
    bool readRows(qsizetype count);

    FullTextIndex m_index;
    QString m_net;
    QVector<ArchiveBoard> m_boards;
    int m_boardIndex = -1;
    int m_pageRows;
    QVector<ArchiveRow> m_boardRows; // of the chosen board, every month, as far as read
    qsizetype m_boardRowCount = 0; // read or not
    QList<std::pair<QString, int>> m_months;
    int m_firstMonth = -1;
    int m_lastMonth = -1;
    QVector<ArchiveRow> m_rows; // those the months leave
    int m_row = -1;
    QStringList m_lines;
    QString m_error;
    QStringList m_notices;
};

} // namespace kavrel::fulltext
