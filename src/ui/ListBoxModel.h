#pragma once

#include <QAbstractListModel>
#include <QStringList>

#include <functional>

namespace kavrel::ui {

// A list view's rows over the items of a core list (a ListBox's items, or any
// list of texts the core holds). The core changes its lists inside its own
// handlers; sync() compares with what the view last saw and tells the view:
// rows added at the end arrive as an insert, anything else as a reset. A
// board or an article of 100,000 lines costs one pass, never a widget each.
class ListBoxModel : public QAbstractListModel
{
    Q_OBJECT
public:
    using Source = std::function<const QStringList &()>;
    explicit ListBoxModel(Source source, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // True when the rows changed.
    bool sync();
    const QStringList &rows() const { return m_rows; }

private:
    Source m_source;
    QStringList m_rows; // shares the core's data until the core changes it
};

} // namespace kavrel::ui
