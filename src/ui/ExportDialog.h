#pragma once

class QWidget;

namespace kavrel {
class Session;
}

namespace kavrel::ui {

// エクスポート…: asks for a file and one of the three formats in a save
// dialog, then writes the current board, or with thread the selected row
// and its sub-thread. What went wrong is shown in a message box.
void exportWithDialog(QWidget *parent, Session &session, bool thread);

} // namespace kavrel::ui
