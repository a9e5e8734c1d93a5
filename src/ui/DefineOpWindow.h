#pragma once

#include "StateWindow.h"

class QLineEdit;

namespace kavrel::dialogs {
class DefineOpState;
}

namespace kavrel::ui {

// The directory settings dialog (Define_Op, "設定"): the three directories
// and the editor's path, each with a browse button for the picker.
class DefineOpWindow : public StateWindow
{
    Q_OBJECT
public:
    DefineOpWindow(QWidget *mainWindow, dialogs::DefineOpState &state);

protected:
    void refresh() override;
    void escape() override;

private:
    dialogs::DefineOpState &m_state;
    QLineEdit *m_edits[4] = {};
    bool m_mono = false;
    bool m_monoApplied = false;
};

} // namespace kavrel::ui
