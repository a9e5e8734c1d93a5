#pragma once

#include "fulltext/ArchiveWindowState.h"

#include <QAbstractTableModel>
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QTableView;

namespace kavrel::ui {

class ArchiveTimeline;
class ProgramCommands;

// The boards of a net's archive: number, name, articles, first and last day.
class ArchiveBoardModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setBoards(const QVector<fulltext::ArchiveBoard> &boards);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QVector<fulltext::ArchiveBoard> m_boards;
};

// A board's rows in thread order, handed to the view a chunk at a time and
// asked of the window's state as the view scrolls to them: a board of a
// hundred thousand articles shows its first rows at once.
class ArchiveRowModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int kChunk = 500;

    using QAbstractTableModel::QAbstractTableModel;

    // The rows live in the state; they are not copied.
    void setRows(fulltext::ArchiveWindowState *state);
    // Hands every row to the view.
    void fetchAll();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

private:
    // The rows the state has read, and those it has in all.
    int read() const { return m_state ? int(m_state->rows().size()) : 0; }
    int total() const { return m_state ? int(m_state->rowCount()) : 0; }
    // Hands the view the rows read up to row count.
    void insertUpTo(int count);

    fulltext::ArchiveWindowState *m_state = nullptr;
    int m_fetched = 0;
};

// 通し読み: one board of a net across every log, each article once, in
// threads, with its articles per month on a timeline above. A click or drag
// on the timeline keeps the rows of those months; Esc lets go of them, and
// a second Esc closes the window. Enter opens a row's capture in the main
// window.
class ArchiveWindow : public QWidget
{
    Q_OBJECT
public:
    static inline const QString kCaption = QStringLiteral("通し読み");

    explicit ArchiveWindow(ProgramCommands &program, QWidget *parent = nullptr);

    // The window of the program's main window, made on first use, shown on
    // the current net and board with the focus in its list.
    static ArchiveWindow *showFor(ProgramCommands &program, QWidget *mainWindow);

    // Shows the net's boards and the one asked for (the first when absent).
    void openOn(const QString &net, std::optional<int> boardNo);
    void chooseBoard(int place);
    void chooseMonths(int first, int last);
    void clearMonths();
    // Opens the row's shown capture in the main window.
    void openRow(int row);

    const fulltext::ArchiveWindowState &state() const { return m_state; }
    QTableView *boardView() const { return m_boardView; }
    QTableView *rowView() const { return m_rowView; }
    ArchiveTimeline *timeline() const { return m_timeline; }
    QPlainTextEdit *articleView() const { return m_article; }
    QLabel *statusLabel() const { return m_status; }

protected:
    void hideEvent(QHideEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showRows();
    void showRow(int row);
    void goToRow(int row);
    void page();
    void refreshStatus(const QString &said = {});

    ProgramCommands &m_program;
    fulltext::ArchiveWindowState m_state;
    ArchiveBoardModel *m_boards;
    ArchiveRowModel *m_rows;
    QTableView *m_boardView;
    ArchiveTimeline *m_timeline;
    QTableView *m_rowView;
    QPlainTextEdit *m_article;
    QLabel *m_status;
};

} // namespace kavrel::ui
