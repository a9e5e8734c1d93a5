#include "TitleListModel.h"

#include "session/MainWindowState.h"

namespace kavrel::ui {

TitleListModel::TitleListModel(const MainWindowState &state, QObject *parent)
    : QAbstractTableModel(parent)
    , m_state(state)
{
    for (int c = 0; c < ColumnCount; ++c)
        m_columns[c] = coreColumn(c);
}

QStringList TitleListModel::coreColumn(int c) const
{
    switch (c) {
    case BatchColumn:
        return m_state.BatchSet.items;
    case NumberColumn:
        return m_state.Title.items;
    case InfoColumn:
        return m_state.Title2.items;
    default:
        return m_state.Title3.items;
    }
}

int TitleListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns[NumberColumn].size());
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

bool TitleListModel::sync()
{
    QStringList now[ColumnCount];
    bool same = true;
    for (int c = 0; c < ColumnCount; ++c) {
        now[c] = coreColumn(c);
        if (now[c].constData() != m_columns[c].constData() || now[c].size() != m_columns[c].size())
            same = false;
    }
    if (same)
        return false;

    const qsizetype rows = now[NumberColumn].size();
    if (rows == m_columns[NumberColumn].size()) {
        // The same rows with some cells changed (a batch mark set or cleared).
        int first = -1, last = -1;
        for (qsizetype r = 0; r < rows; ++r) {
            for (int c = 0; c < ColumnCount; ++c) {
                if (now[c].value(r) != m_columns[c].value(r)) {
                    if (first < 0)
                        first = int(r);
                    last = int(r);
                    break;
                }
            }
        }
        for (int c = 0; c < ColumnCount; ++c)
            m_columns[c] = now[c];
        if (first < 0)
            return false;
        emit dataChanged(index(first, 0), index(last, ColumnCount - 1), { Qt::DisplayRole });
        return true;
    }

    beginResetModel();
    for (int c = 0; c < ColumnCount; ++c)
        m_columns[c] = now[c];
    endResetModel();
    return true;
}

} // namespace kavrel::ui
