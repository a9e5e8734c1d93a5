#pragma once

#include <QDialog>
#include <QHash>

#include <functional>

class QAbstractButton;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace kavrel {
struct ListBox;
}

namespace kavrel::ui {

class ProgramWindows;

// A window of the program other than the main window: a non-modal,
// single-instance window that shows one headless state of the core. sync()
// makes it show that state; user actions go to the core through forward().
// Esc and the window's close button go to the core too, never straight to Qt:
// the core decides whether and how the window closes.
class StateWindow : public QDialog
{
    Q_OBJECT
public:
    explicit StateWindow(ProgramWindows &program);

    virtual void sync() = 0;

protected:
    // Runs a user action in the core, then shows its effects everywhere.
    void forward(const std::function<void()> &action);
    // Shows or hides the window as the core says; a window that appears is
    // raised and activated.
    void syncShown(bool shown);

    // Esc in the window or any of its controls, and the close button.
    virtual void escape() = 0;
    virtual void closeRequested() { escape(); }

    // Key handler for one control: answers true when it handled the key.
    // Esc reaches it before escape(), so that a control can handle Esc itself.
    void onKey(QWidget *control, const std::function<bool(int keyCode, int shift)> &handler);

    // Small helpers that change a widget only when the core's value differs,
    // without reporting the change back as a user action.
    static void setText(QLineEdit *edit, const QString &text);
    static void setChecked(QCheckBox *box, bool checked);
    static void setItems(QListWidget *list, const QStringList &items);
    static void setCurrentRow(QListWidget *list, int row);
    static QAbstractButton *noDefault(QAbstractButton *button);
    // The dialog's OK: Return anywhere but on another button presses it
    // (a button with the focus takes Return itself).
    static QPushButton *defaultButton(QPushButton *ok);
    // A button that takes Return while it has the focus.
    static QPushButton *returnButton(QPushButton *button);

    bool syncing() const { return m_syncing; }
    // Run inside sync(): widgets' signals are not taken for user actions.
    class SyncGuard
    {
    public:
        explicit SyncGuard(StateWindow &w)
            : m_w(w)
            , m_was(w.m_syncing)
        {
            w.m_syncing = true;
        }
        ~SyncGuard() { m_w.m_syncing = m_was; }

    private:
        StateWindow &m_w;
        bool m_was;
    };

    void reject() override;
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

    ProgramWindows &m_program;

private:
    bool m_syncing = false;
    bool m_placed = false; // placed where it was left, or over the main window
    QHash<QObject *, std::function<bool(int, int)>> m_keyHandlers;
};

} // namespace kavrel::ui
