#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kavrel::ui {

// Asks for the working directory when there is none to open: an existing one
// (a folder with DIR.DEF), or a new one made in the folder the user names.
class FirstStartDialog : public QDialog
{
    Q_OBJECT
public:
    // problem: why the folder asked for cannot be opened, or empty.
    explicit FirstStartDialog(const QString &problem, const QString &folder = {}, QWidget *parent = nullptr);

    // The folder chosen, and whether it was made a new working directory.
    QString folder() const { return m_folder; }
    bool created() const { return m_created; }

private:
    void browse();
    void openExisting();
    void createNew();
    void say(const QString &text);

    QLabel *m_problem;
    QLineEdit *m_path;
    QPushButton *m_open;
    QPushButton *m_create;
    QString m_folder;
    bool m_created = false;
};

} // namespace kavrel::ui
