#include "ListBoxModel.h"

namespace kavrel::ui {

ListBoxModel::ListBoxModel(Source source, QObject *parent)
    : QAbstractListModel(parent)
    , m_source(std::move(source))
{
    m_rows = m_source();
}

int ListBoxModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant ListBoxModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    if (role == Qt::DisplayRole)
        return m_rows.at(index.row());
    return {};
}

bool ListBoxModel::sync()
{
    const QStringList &now = m_source();
    if (now.constData() == m_rows.constData() && now.size() == m_rows.size())
        return false; // the same shared data: nothing happened
    const qsizetype old = m_rows.size();
    if (now.size() > old && std::equal(m_rows.cbegin(), m_rows.cend(), now.cbegin())) {
        beginInsertRows({}, int(old), int(now.size()) - 1);
        m_rows = now;
        endInsertRows();
        return true;
    }
    if (now == m_rows) {
        m_rows = now; // equal content, share it again
        return false;
    }
    beginResetModel();
    m_rows = now;
    endResetModel();
    return true;
}

} // namespace kavrel::ui
