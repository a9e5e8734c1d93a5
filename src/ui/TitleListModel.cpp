#include "TitleListModel.h"

#include "session/MainWindowState.h"

namespace kavrel::ui {

TitleListModel::TitleListModel(const MainWindowState &state, QObject *parent)
    : QAbstractTableModel(parent)
    , m_state(state)
{
    for (int c = 0; c < ColumnCount; ++c)
        m_columns[c] = coreColumn(c);
    m_numbers = m_state.Title.items;
}

QStringList TitleListModel::coreColumn(int c) const
{
    switch (c) {
    case BatchColumn:
        return m_state.BatchSet.items;
    case NumberColumn:
        return {};
    case InfoColumn:
        return m_state.Title2.items;
    default:
        return m_state.Title3.items;
    }
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
    if (index.column() == NumberColumn)
        return m_numbers.value(index.row());
    return m_columns[index.column()].value(index.row());
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

bool TitleListModel::cellChanged(const QStringList *now, const IndentedItems &numbers, qsizetype r) const
{
    if (numbers.indentAt(r) != m_numbers.indentAt(r) || numbers.textAt(r) != m_numbers.textAt(r))
        return true;
    for (int c = 0; c < ColumnCount; ++c) {
        if (c != NumberColumn && now[c].value(r) != m_columns[c].value(r))
            return true;
    }
    return false;
}

bool TitleListModel::sync()
{
    QStringList now[ColumnCount];
    const IndentedItems numbers = m_state.Title.items;
    bool same = numbers.sharesData(m_numbers);
    for (int c = 0; c < ColumnCount; ++c) {
        now[c] = coreColumn(c);
        if (now[c].constData() != m_columns[c].constData() || now[c].size() != m_columns[c].size())
            same = false;
    }
    if (same)
        return false;

    const qsizetype rows = numbers.size();
    if (rows == m_numbers.size()) {
        // The same rows with some cells changed (a batch mark set or cleared).
        int first = -1, last = -1;
        for (qsizetype r = 0; r < rows; ++r) {
            if (cellChanged(now, numbers, r)) {
                if (first < 0)
                    first = int(r);
                last = int(r);
            }
        }
        for (int c = 0; c < ColumnCount; ++c)
            m_columns[c] = now[c];
        m_numbers = numbers;
        if (first < 0)
            return false;
        emit dataChanged(index(first, 0), index(last, ColumnCount - 1), { Qt::DisplayRole });
        return true;
    }

    beginResetModel();
    for (int c = 0; c < ColumnCount; ++c)
        m_columns[c] = now[c];
    m_numbers = numbers;
    endResetModel();
    return true;
}

} // namespace kavrel::ui
