#pragma once

#include "StateWindow.h"

class QListView;

namespace kavrel::commands {
class IdListWindow;
}

namespace kavrel::ui {

class ListBoxModel;

// The ID list window (ID_LIST_Window, "ＩＤ List" / "宛先ＩＤ選択"): the IDs
// known for the net; in mail mode the recipients of a mail are chosen here.
class IdListWindowView : public StateWindow
{
    Q_OBJECT
public:
    IdListWindowView(QWidget *mainWindow, commands::IdListWindow &state);

    QListView *list() const { return m_list; }

protected:
    void refresh() override;
    void escape() override;

private:
    commands::IdListWindow &m_state;
    ListBoxModel *m_model;
    QListView *m_list;
    bool m_mono = false;
    bool m_monoApplied = false;
};

} // namespace kavrel::ui
