#pragma once

#include "StateWindow.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace kavrel::netselect {
class NetSelectState;
}

namespace kavrel::ui {

// The net selection screen (Net_Select): the nets, the chosen net's logs, and
// the buttons to register, edit and delete nets and to open the logs.
class NetSelectWindow : public StateWindow
{
    Q_OBJECT
public:
    NetSelectWindow(ProgramWindows &program, netselect::NetSelectState &state);
    void sync() override;

protected:
    void escape() override;
    void closeRequested() override;

private:
    netselect::NetSelectState &m_state;
    QListWidget *m_nets;
    QLineEdit *m_netName;
    QListWidget *m_logs;
    QListWidget *m_logs2;
    QCheckBox *m_multi;
    bool m_mono = false;
    bool m_monoApplied = false;
    int m_focus = -1;
};

} // namespace kavrel::ui
