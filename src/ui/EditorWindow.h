#pragma once

#include "session/ServiceHosts.h"

#include <QDialog>
#include <QPlainTextEdit>

class QEventLoop;
class QLabel;
class QTimer;

namespace kavrel {
class Session;
}

namespace kavrel::commands {
class Drafts;
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

    // The text is kept as the draft of the command being written, at most
    // kDraftDelayMs after the last change and when the window loses the focus.
    void setDrafts(commands::Drafts *drafts) { m_drafts = drafts; }
    static constexpr int kDraftDelayMs = 2000;

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
    void changeEvent(QEvent *event) override;

private:
    void showPosition();
    void finish();
    void keepDraft();

    Session &m_session;
    GuideTextEdit *m_edit;
    QLabel *m_position;
    QString m_path;
    QEventLoop *m_loop = nullptr;
    commands::Drafts *m_drafts = nullptr;
    QTimer *m_draftTimer;
    bool m_draftKept = true; // the text as the draft holds it
};

} // namespace kavrel::ui
