#include "StateWindow.h"

#include "MainWindow.h"
#include "ProgramWindows.h"
#include "VbKeys.h"
#include "WindowPlaces.h"
#include "WindowPrefs.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace kavrel::ui {

StateWindow::StateWindow(ProgramWindows &program)
    : QDialog(nullptr)
    , m_program(program)
{
    setProperty("kavrelWindow", true);
    setModal(false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

void StateWindow::forward(const std::function<void()> &action)
{
    if (m_syncing)
        return;
    m_program.forward(action);
}

void StateWindow::syncShown(bool shown)
{
    if (shown && !isVisible()) {
        if (!m_placed) {
            m_placed = true;
            places::placeOver(this, &m_program.mainWindow(), prefs::windowGeometryKey(objectName()));
        }
        show();
        raise();
        activateWindow();
    } else if (!shown && isVisible()) {
        hide();
    }
}

void StateWindow::hideEvent(QHideEvent *event)
{
    if (m_placed)
        places::keep(this, prefs::windowGeometryKey(objectName()));
    QDialog::hideEvent(event);
}

void StateWindow::onKey(QWidget *control, const std::function<bool(int, int)> &handler)
{
    m_keyHandlers.insert(control, handler);
    control->installEventFilter(this);
}

bool StateWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && !m_syncing) {
        auto *key = static_cast<QKeyEvent *>(event);
        const int code = vbkeys::keyCode(key);
        const auto handler = m_keyHandlers.constFind(watched);
        if (handler != m_keyHandlers.constEnd() && code != 0) {
            bool handled = false;
            m_program.forward([&] { handled = (*handler)(code, vbkeys::shiftState(key->modifiers())); });
            if (handled) {
                key->accept();
                return true;
            }
        }
    }
    // Text from an input method arrives without key presses; the controls'
    // key handlers still see a key, as the input method's key (229).
    if (event->type() == QEvent::InputMethod && !m_syncing) {
        auto *input = static_cast<QInputMethodEvent *>(event);
        const auto handler = m_keyHandlers.constFind(watched);
        if (handler != m_keyHandlers.constEnd()
            && (!input->commitString().isEmpty() || !input->preeditString().isEmpty()))
            m_program.forward([&] { (*handler)(vbkeys::kInputMethodKey, 0); });
    }
    return QDialog::eventFilter(watched, event);
}

void StateWindow::reject()
{
    // QDialog's Esc: the core closes the window if it wants to.
    forward([this] { escape(); });
}

void StateWindow::closeEvent(QCloseEvent *event)
{
    if (!isVisible() || m_syncing) {
        event->accept();
        return;
    }
    event->ignore();
    forward([this] { closeRequested(); });
}

void StateWindow::setText(QLineEdit *edit, const QString &text)
{
    if (edit->text() != text)
        edit->setText(text);
}

void StateWindow::setChecked(QCheckBox *box, bool checked)
{
    if (box->isChecked() != checked)
        box->setChecked(checked);
}

void StateWindow::setItems(QListWidget *list, const QStringList &items)
{
    bool same = list->count() == items.size();
    for (int i = 0; same && i < items.size(); ++i)
        same = list->item(i)->text() == items.at(i);
    if (same)
        return;
    list->clear();
    list->addItems(items);
}

void StateWindow::setCurrentRow(QListWidget *list, int row)
{
    if (row < 0 || row >= list->count()) {
        list->setCurrentRow(-1);
        list->clearSelection();
        return;
    }
    if (list->currentRow() != row || !list->item(row)->isSelected())
        list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

QPushButton *StateWindow::defaultButton(QPushButton *ok)
{
    ok->setAutoDefault(true);
    ok->setDefault(true);
    return ok;
}

QPushButton *StateWindow::returnButton(QPushButton *button)
{
    button->setAutoDefault(true);
    button->setDefault(false);
    return button;
}

QAbstractButton *StateWindow::noDefault(QAbstractButton *button)
{
    // Enter in a field must not press a button behind the core's back.
    if (auto *push = qobject_cast<QPushButton *>(button)) {
        push->setAutoDefault(false);
        push->setDefault(false);
    }
    return button;
}

} // namespace kavrel::ui
