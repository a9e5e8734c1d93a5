#include "StateWindow.h"

#include "VbKeys.h"
#include "WindowPlaces.h"
#include "WindowPrefs.h"

#include "base/ChangeSignal.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace kavrel::ui {

StateWindow::StateWindow(QWidget *mainWindow, ChangeSignal &changes)
    : QDialog(nullptr)
    , m_mainWindow(mainWindow)
{
    setProperty("kavrelWindow", true);
    setModal(false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    connect(&changes, &ChangeSignal::changed, this, &StateWindow::showState);
}

void StateWindow::showState()
{
    refresh();
    emit refreshed();
}

void StateWindow::runCommand(const std::function<void()> &action)
{
    const ChangeSignal::Command command;
    action();
}

void StateWindow::syncShown(bool shown)
{
    if (shown && !isVisible()) {
        if (!m_placed) {
            m_placed = true;
            places::placeOver(this, m_mainWindow, prefs::windowGeometryKey(objectName()));
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
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const int code = vbkeys::keyCode(key);
        const auto handler = m_keyHandlers.constFind(watched);
        if (handler != m_keyHandlers.constEnd() && code != 0) {
            bool handled = false;
            runCommand([&] { handled = (*handler)(code, vbkeys::shiftState(key->modifiers())); });
            if (handled) {
                key->accept();
                return true;
            }
        }
    }
    // Text from an input method arrives without key presses; the controls'
    // key handlers still see a key, as the input method's key (229).
    if (event->type() == QEvent::InputMethod) {
        auto *input = static_cast<QInputMethodEvent *>(event);
        const auto handler = m_keyHandlers.constFind(watched);
        if (handler != m_keyHandlers.constEnd()
            && (!input->commitString().isEmpty() || !input->preeditString().isEmpty()))
            runCommand([&] { (*handler)(vbkeys::kInputMethodKey, 0); });
    }
    return QDialog::eventFilter(watched, event);
}

void StateWindow::reject()
{
    // QDialog's Esc: the core closes the window if it wants to.
    runCommand([this] { escape(); });
}

void StateWindow::closeEvent(QCloseEvent *event)
{
    if (!isVisible()) {
        event->accept();
        return;
    }
    event->ignore();
    runCommand([this] { closeRequested(); });
}

void StateWindow::setText(QLineEdit *edit, const QString &text)
{
    if (edit->text() == text)
        return;
    const QSignalBlocker block(edit);
    edit->setText(text);
}

void StateWindow::setChecked(QCheckBox *box, bool checked)
{
    if (box->isChecked() == checked)
        return;
    const QSignalBlocker block(box);
    box->setChecked(checked);
}

void StateWindow::setItems(QListWidget *list, const QStringList &items)
{
    bool same = list->count() == items.size();
    for (int i = 0; same && i < items.size(); ++i)
        same = list->item(i)->text() == items.at(i);
    if (same)
        return;
    const QSignalBlocker block(list);
    list->clear();
    list->addItems(items);
}

void StateWindow::setCurrentRow(QListWidget *list, int row)
{
    const QSignalBlocker block(list);
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
