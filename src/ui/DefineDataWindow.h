#pragma once

#include "StateWindow.h"

#include <QList>

class QCheckBox;

namespace kavrel::dialogs {
class DefineDataState;
}

namespace kavrel::ui {

// The option flags dialog (Define_data, "諸設定"): seven check boxes.
class DefineDataWindow : public StateWindow
{
    Q_OBJECT
public:
    DefineDataWindow(QWidget *mainWindow, dialogs::DefineDataState &state);

protected:
    void refresh() override;
    void escape() override;

private:
    struct Box
    {
        QCheckBox *box;
        bool *value;
    };
    dialogs::DefineDataState &m_state;
    QList<Box> m_boxes;
};

} // namespace kavrel::ui
