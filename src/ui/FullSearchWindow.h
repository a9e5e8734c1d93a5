#pragma once

#include "fulltext/FullTextIndex.h"
#include "fulltext/SearchWindowState.h"

#include <QAbstractTableModel>
#include <QThread>
#include <QWidget>

#include <atomic>
#include <memory>

class QLabel;
class QLineEdit;
class QTableView;

namespace kavrel::ui {

class ProgramCommands;

// The hits of a full-text query, one row each.
class FullSearchModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setHits(QVector<fulltext::Hit> hits);
    const fulltext::Hit &hit(int row) const { return m_hits.at(row); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QVector<fulltext::Hit> m_hits;
};

// Brings the index up to date on its own thread, with its own connection.
class FullSearchIndexer : public QObject
{
    Q_OBJECT
public:
    std::atomic_bool cancel { false };

public slots:
    void run(const QString &appDir);

signals:
    void progress(int done, int total, const QString &net, const QString &log, int percent);
    void finished(bool ok, const QString &error, const QStringList &notices);
};

class FullSearchWindow;

// Runs queries on its own thread, with its own connection: a word of one or
// two characters reads the text of every article that the filters leave.
// Only the latest query counts; one that a later one has replaced by the
// time its turn comes is not run.
class FullSearchQuerier : public QObject
{
    Q_OBJECT
public:
    std::atomic_int latest { 0 };

    // Finds the newest hits of the query, up to limit.
    void run(
        int serial, const QString &appDir, const fulltext::Query &query, int limit, FullSearchWindow *window);

private:
    std::unique_ptr<fulltext::FullTextIndex> m_index; // this thread's connection
};

// 全ログ検索: a query field and the list of hits over every log of every net.
// The index is brought up to date in the background whenever the window is
// shown; meanwhile the window can be used on the index as it stands. Enter or
// a double-click on a hit opens it in the main window.
class FullSearchWindow : public QWidget
{
    Q_OBJECT
public:
    static inline const QString kCaption = QStringLiteral("全ログ検索");

    explicit FullSearchWindow(ProgramCommands &program, QWidget *parent = nullptr);
    ~FullSearchWindow() override;

    // The window of the program's main window, made on first use, shown
    // and raised with the focus in its query field.
    static FullSearchWindow *showFor(ProgramCommands &program, QWidget *mainWindow);

    QLineEdit *queryField() const { return m_query; }
    QTableView *resultView() const { return m_results; }
    QLabel *statusLabel() const { return m_status; }
    FullSearchModel *model() const { return m_model; }
    bool updating() const { return m_state.updating(); }
    void setShownHits(int n) { m_state.shownHits = n; }
    // A query has been started and its hits have not yet come.
    bool searching() const { return m_state.searching(); }

    // Starts the query in the field; its hits are shown when they come, if
    // no later query has been started. Opens the hit of a row.
    void search(bool byUser = false);
    void openRow(int row);
    // The hits of a query (on the window's thread).
    void showHits(int serial, bool ok, const QVector<fulltext::Hit> &hits, const QString &error);

signals:
    void updateFinished();
    void searchFinished();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void startUpdate();
    void refreshStatus();

    ProgramCommands &m_program;
    QLineEdit *m_query;
    QTableView *m_results;
    QLabel *m_status;
    FullSearchModel *m_model;
    QThread m_thread;
    FullSearchIndexer *m_indexer;
    QThread m_queryThread;
    FullSearchQuerier *m_querier;
    fulltext::SearchWindowState m_state;
};

} // namespace kavrel::ui
