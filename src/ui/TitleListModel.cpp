#include "TitleListModel.h"

#include "session/MainWindowState.h"

namespace kavrel::ui {

TitleListModel::TitleListModel(const MainWindowState &state, QObject *parent)
    : QAbstractTableModel(parent)
    , m_state(state)
{
    m_batch = m_state.BatchSet.items;
    m_numbers = m_state.Title.items;
    m_info = m_state.InfoColumn.items;
    m_titles = m_state.SubjectColumn.items;
}

int TitleListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_numbers.size());
}

int TitleListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TitleListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::ToolTipRole) {
        // Each column keeps the tip of the list box it stands for.
        return index.column() == BatchColumn ? QStringLiteral("バッチセットされたファイルはSと表示されます")
                                             : QStringLiteral("各アーティクルのタイトルです");
    }
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case BatchColumn:
        return m_batch.value(index.row());
    case NumberColumn:
        return m_numbers.value(index.row());
    case InfoColumn:
        return m_info.value(index.row());
    default:
        return m_titles.value(index.row());
    }
}

QVariant TitleListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case BatchColumn:
        return QString();
    case NumberColumn:
        return QStringLiteral("番号");
    case InfoColumn:
        return QStringLiteral("発言者");
    case TitleColumn:
        return QStringLiteral("タイトル");
    default:
        return {};
    }
}

bool TitleListModel::cellChanged(const Rows &now, qsizetype r) const
{
    return now.batch.at(r) != m_batch.at(r) || !now.numbers.sameRow(r, m_numbers, r)
        || !now.info.sameRow(r, m_info, r) || !now.titles.sameRow(r, m_titles, r);
}

bool TitleListModel::sync()
{
    const Rows now { m_state.BatchSet.items, m_state.Title.items, m_state.InfoColumn.items,
        m_state.SubjectColumn.items };
    const bool same = now.numbers.sharesData(m_numbers) && now.info.sharesData(m_info)
        && now.titles.sharesData(m_titles) && now.batch.constData() == m_batch.constData()
        && now.batch.size() == m_batch.size();
    if (same)
        return false;

    const qsizetype rows = now.numbers.size();
    const auto take = [&] {
        m_batch = now.batch;
        m_numbers = now.numbers;
        m_info = now.info;
        m_titles = now.titles;
    };
    if (rows == m_numbers.size() && now.batch.size() == rows && now.info.size() == rows
        && now.titles.size() == rows && m_batch.size() == rows && m_info.size() == rows
        && m_titles.size() == rows) {
        // The same rows with some cells changed (a batch mark set or cleared).
        int first = -1, last = -1;
        for (qsizetype r = 0; r < rows; ++r) {
            if (cellChanged(now, r)) {
                if (first < 0)
                    first = int(r);
                last = int(r);
            }
        }
        take();
        if (first < 0)
            return false;
        emit dataChanged(index(first, 0), index(last, ColumnCount - 1), { Qt::DisplayRole });
        return true;
    }

    beginResetModel();
    take();
    endResetModel();
    return true;
}

} // namespace kavrel::ui
