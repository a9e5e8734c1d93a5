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
class ChangeSignal;
}

namespace kavrel::ui {

// A window of the program other than the main window: a non-modal,
// single-instance window that shows one headless state of the core. It
// refreshes when its state says it changed, and only then; user actions go to
// the core as commands (runCommand). Esc and the window's close button go to
// the core too, never straight to Qt: the core decides whether and how the
// window closes.
class StateWindow : public QDialog
{
    Q_OBJECT
public:
    // mainWindow: the window it opens over the first time; changes: its
    // state's change signal.
    StateWindow(QWidget *mainWindow, ChangeSignal &changes);

    // Shows the state as it is now.
    void showState();

signals:
    // The window has shown its state again.
    void refreshed();

protected:
    // Makes the widgets show the state. It changes no state: a widget it sets
    // sends no command back (the helpers below block the widget's signals).
    virtual void refresh() = 0;
    // Runs a user action in the core as one command; the states it changed
    // then tell their windows.
    static void runCommand(const std::function<void()> &action);
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
    // with the widget's signals blocked, so that the change is not taken for
    // a user's.
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

    void reject() override;
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_mainWindow;
    bool m_placed = false; // placed where it was left, or over the main window
    QHash<QObject *, std::function<bool(int, int)>> m_keyHandlers;
};

} // namespace kavrel::ui
