#pragma once

#include "StateWindow.h"

#include <array>

class QCheckBox;
class QLineEdit;

namespace kavrel::search {
class SearchDialogState;
}

namespace kavrel::ui {

// The search dialog (Search, "文字列＆日時検索"): a string and a date-time
// range, each with its check box.
class SearchWindow : public StateWindow
{
    Q_OBJECT
public:
    SearchWindow(QWidget *mainWindow, search::SearchDialogState &state);

protected:
    void refresh() override;
    void escape() override;

private:
    search::SearchDialogState &m_state;
    std::array<QLineEdit *, 13> m_fields {};
    QCheckBox *m_stringCheck;
    QCheckBox *m_dateCheck;
    bool m_wasVisible = false;
};

} // namespace kavrel::ui
