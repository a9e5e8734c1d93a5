#pragma once

#include "session/ServiceHosts.h"

#include <QDialog>
#include <QPlainTextEdit>

class QEventLoop;
class QLabel;

namespace kavrel {
class Session;
}

namespace kavrel::ui {

// A plain text field that shows where the 80th half-width column ends.
class GuideTextEdit : public QPlainTextEdit
{
    Q_OBJECT
public:
    static constexpr int kGuideColumns = 80;
    using QPlainTextEdit::QPlainTextEdit;
    // The x position of the guide in the viewport.
    int guideX() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// The program's own editor: edits TEMP.TXT when no editor of the user's own
// is set, or when the one set cannot be started. Like the user's editor it
// runs while the main window waits, and the writing commands see from the
// file whether the text was saved.
class EditorWindow : public QDialog, public EditorHost
{
    Q_OBJECT
public:
    explicit EditorWindow(Session &session);

    bool edit(const QString &editorPath, const QString &filePath, QString *error) override;

    GuideTextEdit *textEdit() const { return m_edit; }
    QLabel *position() const { return m_position; }

    // 保存して閉じる (Ctrl+S): writes the file and ends the edit; a text that
    // cannot be written keeps the window open.
    void saveAndClose();
    // 破棄 (Esc): ends the edit without writing, after asking when the text changed.
    void discard();

protected:
    void reject() override;
    void closeEvent(QCloseEvent *event) override;

private:
    void showPosition();
    void finish();

    Session &m_session;
    GuideTextEdit *m_edit;
    QLabel *m_position;
    QString m_path;
    QEventLoop *m_loop = nullptr;
};

} // namespace kavrel::ui
