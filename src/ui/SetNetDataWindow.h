#pragma once

#include "StateWindow.h"

#include <QList>

class QCheckBox;
class QLineEdit;

namespace kavrel::netselect {
class SetNetDataState;
}

namespace kavrel::ui {

// The net definition editor (Set_Net_Data, "NET DATA SET"): one net's
// fourteen fields and the serial header switch.
class SetNetDataWindow : public StateWindow
{
    Q_OBJECT
public:
    SetNetDataWindow(QWidget *mainWindow, netselect::SetNetDataState &state);

protected:
    void refresh() override;
    void escape() override;

private:
    struct Field
    {
        QLineEdit *edit;
        QString *value;
    };
    netselect::SetNetDataState &m_state;
    QList<Field> m_fields;
    QLineEdit *m_header = nullptr;
    QLineEdit *m_sirialHeader = nullptr;
    QCheckBox *m_sirial = nullptr;
    bool m_mono = false;
    bool m_monoApplied = false;
};

} // namespace kavrel::ui
