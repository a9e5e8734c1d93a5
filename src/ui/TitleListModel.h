#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include "session/ListBox.h"

namespace kavrel {
class MainWindowState;
}

namespace kavrel::ui {

// The title list as one table: row i is item i of the four core lists,
// column 0 the batch mark (BatchSet), 1 the number with its thread
// indentation (Title), 2 the information (InfoColumn), 3 the title (SubjectColumn).
class TitleListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { BatchColumn = 0, NumberColumn, InfoColumn, TitleColumn, ColumnCount };

    explicit TitleListModel(const MainWindowState &state, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // The headings: none over the batch mark, then 番号, 発言者, タイトル.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Takes the core's rows; true when they changed (the view was reset or
    // got the changed cells).
    bool sync();
    // The rows of the title column.
    const TextItems &titles() const { return m_titles; }

private:
    // The core's rows as one set of shared copies.
    struct Rows
    {
        QStringList batch;
        IndentedItems numbers;
        TextItems info;
        TextItems titles;
    };
    bool cellChanged(const Rows &now, qsizetype r) const;

    const MainWindowState &m_state;
    // The information and title columns keep pieces of the log: the text is
    // made for the rows painted.
    QStringList m_batch;
    TextItems m_info;
    TextItems m_titles;
    // The number column keeps its indents as counts: the blanks are made only
    // for the rows painted.
    IndentedItems m_numbers;
};

} // namespace kavrel::ui
