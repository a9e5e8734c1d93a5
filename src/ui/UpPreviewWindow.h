#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QTableWidget;

namespace kavrel {
class Session;
}

namespace kavrel::ui {

// 送信予定の確認: every command waiting in the current net's up file, in send
// order, with its kind, board, reference or recipients, title, size as sent
// and warnings; the chosen row's whole text as it will be sent, each line
// end shown.
class UpPreviewWindow : public QDialog
{
    Q_OBJECT
public:
    static inline const QString kCaption = QStringLiteral("送信予定の確認");

    explicit UpPreviewWindow(Session &session, QWidget *parent = nullptr);

    // The window of the main window, made on first use, filled and shown.
    static UpPreviewWindow *showFor(Session &session, QWidget *mainWindow);

    // Fills the rows anew from the up file in memory.
    void reload();

    QTableWidget *rows() const { return m_rows; }
    QPlainTextEdit *text() const { return m_text; }

private:
    void showChosen();

    Session &m_session;
    QTableWidget *m_rows;
    QPlainTextEdit *m_text;
    QLabel *m_status;
    QStringList m_texts;
};

} // namespace kavrel::ui
