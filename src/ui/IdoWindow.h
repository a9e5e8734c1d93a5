#pragma once

#include "StateWindow.h"

class QComboBox;
class QLineEdit;

namespace kavrel::moveres {
class MoveResponseWindow;
}

namespace kavrel::ui {

// The move-response window (IDO, "移動レス設定"): a source board, its target
// number, and the target board.
class IdoWindow : public StateWindow
{
    Q_OBJECT
public:
    IdoWindow(QWidget *mainWindow, moveres::MoveResponseWindow &state);

protected:
    void refresh() override;
    void escape() override;

private:
    moveres::MoveResponseWindow &m_state;
    QComboBox *m_source;
    QComboBox *m_target;
    QLineEdit *m_text;
    QStringList m_sourceItems;
    QStringList m_targetItems;
    bool m_targetFocus = false;
    bool m_mono = false;
    bool m_monoApplied = false;
};

} // namespace kavrel::ui
