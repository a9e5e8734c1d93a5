#pragma once

#include "session/ReaderCommand.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QTableWidget;

namespace kavrel::ui {

class ProgramCommands;

// 送信予定の確認: every command waiting in the current net's up file, in send
// order, with its kind, board, reference or recipients, title, size as sent,
// first lines and warnings; the chosen row's whole text as it will be sent,
// each line end shown. E rewrites and D deletes the chosen command as in the
// title list; a command without a row there is rewritten in the editor as it
// stands, and deleted after the same question.
class UpPreviewWindow : public QDialog
{
    Q_OBJECT
public:
    static inline const QString kCaption = QStringLiteral("送信予定の確認");

    explicit UpPreviewWindow(ProgramCommands &program, QWidget *parent = nullptr);

    // The window of the main window, made on first use, filled and shown.
    static UpPreviewWindow *showFor(ProgramCommands &program, QWidget *mainWindow);

    // Fills the rows anew from the up file in memory.
    void reload();

    QTableWidget *rows() const { return m_rows; }
    QPlainTextEdit *text() const { return m_text; }

protected:
    // E and D in the list of rows.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showChosen();
    // E or D on the chosen command, through its row in the title list when
    // it has one.
    void runOnChosen(ReaderCommand command);

    ProgramCommands &m_program;
    QTableWidget *m_rows;
    QPlainTextEdit *m_text;
    QLabel *m_status;
    QStringList m_texts;
    // The up file's text the rows were made from.
    QString m_shownUpFile;
};

} // namespace kavrel::ui
