#include "IdListWindowView.h"

#include "Colours.h"
#include "Fonts.h"
#include "ListBoxModel.h"
#include "base/KeyCodes.h"

#include "commands/IdListWindow.h"

#include <QHBoxLayout>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

namespace kavrel::ui {

IdListWindowView::IdListWindowView(QWidget *mainWindow, commands::IdListWindow &state)
    : StateWindow(mainWindow, state.changes)
    , m_state(state)
{
    setObjectName(QStringLiteral("ID_LIST_Window"));
    m_model = new ListBoxModel([this]() -> const QStringList & { return m_state.items; }, this);
    m_list = new QListView(this);
    m_list->setObjectName(QStringLiteral("ID_LIST"));
    m_list->setFont(fonts::listFont());
    m_list->setModel(m_model);
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::MultiSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto *ok = new QPushButton(QStringLiteral("ＯＫ"), this);
    ok->setObjectName(QStringLiteral("OK"));
    noDefault(ok);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    layout->addLayout(buttons);
    resize(360, 420);

    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        runCommand([this] {
            for (int i = 0; i < m_model->rowCount(); ++i)
                m_state.setSelected(i, m_list->selectionModel()->isRowSelected(i, {}));
        });
    });
    onKey(m_list, [this](int code, int) {
        // Space toggles the current entry and nothing else: the list's own
        // search for " " would pick the next entry too (they all begin blank).
        if (code == 32) {
            const int row = m_list->currentIndex().row();
            if (row >= 0)
                m_state.setSelected(row, !m_state.selected.value(row));
            return true;
        }
        if (code != keys::Key_Enter && code != keys::Key_Escape)
            return false;
        m_state.keyInIdList(code);
        return true;
    });
    connect(ok, &QPushButton::clicked, this, [this] { runCommand([this] { m_state.takeChosenIds(); }); });
}

void IdListWindowView::refresh()
{
    setWindowTitle(m_state.Caption);
    m_model->sync();
    // The whole selection at once: the one change the list reports is the
    // state's own selection, which the user's handler then finds unchanged.
    QItemSelectionModel *selection = m_list->selectionModel();
    QItemSelection wanted;
    bool same = true;
    for (int i = 0; i < m_model->rowCount(); ++i) {
        const bool on = m_state.selected.value(i);
        if (on)
            wanted.select(m_model->index(i), m_model->index(i));
        same = same && selection->isRowSelected(i, {}) == on;
    }
    if (!same)
        selection->select(wanted, QItemSelectionModel::ClearAndSelect);
    if (!m_monoApplied || m_mono != m_state.mono) {
        m_mono = m_state.mono;
        m_monoApplied = true;
        colours::apply(m_list, m_mono);
    }
    syncShown(m_state.visible);
}

void IdListWindowView::escape()
{
    m_state.pressKey(keys::Key_Escape);
}

} // namespace kavrel::ui
