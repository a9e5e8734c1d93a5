#pragma once

#include "StateWindow.h"

#include <functional>

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
    NetSelectWindow(QWidget *mainWindow, netselect::NetSelectState &state);

protected:
    void refresh() override;
    void escape() override;
    void closeRequested() override;

private:
    struct Buttons
    {
        QPushButton *netSet, *change, *del, *cancel, *logRead;
    };
    using Progress = std::function<bool(const QString &name, qint64 done, qint64 total)>;
    // The progress of a log's open, shown over parent once it is large.
    static Progress progressDialog(QWidget *parent);
    // The lists, the name field and the buttons, laid out.
    Buttons buildLayout();
    // The user's actions in the net column and in the log column.
    void connectNets(const Buttons &buttons);
    void connectLogs(const Buttons &buttons);

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
