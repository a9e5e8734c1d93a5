#pragma once

#include "fulltext/FullTextIndex.h"

#include <QAbstractTableModel>
#include <QThread>
#include <QWidget>

#include <atomic>
#include <memory>

class QLabel;
class QLineEdit;
class QTableView;

namespace kavrel::ui {

class ProgramWindows;

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
    void progress(int done, int total, const QString &net, const QString &log);
    void finished(bool ok, const QString &error, const QStringList &notices);
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

    explicit FullSearchWindow(ProgramWindows &program, QWidget *parent = nullptr);
    ~FullSearchWindow() override;

    // The window of the program's main window, made on first use, shown
    // and raised with the focus in its query field.
    static FullSearchWindow *showFor(ProgramWindows &program, QWidget *mainWindow);

    QLineEdit *queryField() const { return m_query; }
    QTableView *resultView() const { return m_results; }
    QLabel *statusLabel() const { return m_status; }
    FullSearchModel *model() const { return m_model; }
    bool updating() const { return m_updating; }

    // Runs the query in the field; opens the hit of a row.
    void search();
    void openRow(int row);

signals:
    void updateFinished();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void startUpdate();

    ProgramWindows &m_program;
    QLineEdit *m_query;
    QTableView *m_results;
    QLabel *m_status;
    FullSearchModel *m_model;
    QThread m_thread;
    FullSearchIndexer *m_indexer;
    std::unique_ptr<fulltext::FullTextIndex> m_index; // this thread's connection
    bool m_updating = false;
    QString m_updateText;
};

} // namespace kavrel::ui
