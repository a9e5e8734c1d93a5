#pragma once

#include "base/ChangeSignal.h"
#include "session/ListBox.h"

#include <QString>

namespace kavrel {
class Session;
}

namespace kavrel::moveres {

// The move-response window without a display. Opened from the menu it edits
// the move table (source board, its target, saved on OK); opened by G
// (LastWrittenKind MoveResponse) it chooses the target of one response.
class MoveResponseWindow
{
public:
    explicit MoveResponseWindow(Session &session);

    ListBox ido_board_list; // source boards
    ListBox ido_board_list2; // target boards
    QString IDO_TEXT; // at most 3 characters
    bool IDO_TEXT_Enabled = true;
    QString Caption = QStringLiteral("移動レス設定");
    bool visible = false;
    bool mono = false; // MonoColors: text and background colours swapped
    bool targetListHasFocus = false;
    // Tells the window that what it shows changed.
    ChangeSignal changes { ChangeSignal::fromValues([this] {
        return QVariantList { ido_board_list.items, ido_board_list.ListIndex, ido_board_list2.items,
            ido_board_list2.ListIndex, IDO_TEXT, IDO_TEXT_Enabled, Caption, visible, mono,
            targetListHasFocus };
    }) };

    // load: disables the main window and fills both lists.
    void open();
    // Selections from code or by the user; the source runs its click.
    void selectSource(int index);
    void selectTarget(int index);

    void chooseSource();
    // Every key but Esc: "なし" gives way to what is typed; Up and Down keep
    // a typed board number as the source's target and move the source.
    void keyInTargetField(int keyCode);
    // A typed character as the field receives it after its key-down.
    void typeIntoIdoText(QChar c);
    // The user's edit of the field.
    void typeIdoText(const QString &text) { IDO_TEXT = text; }
    void saveMoveTable();
    void pressCancelButton();

    void keyInSourceList(int keyCode);
    void keyInTargetList(int keyCode);
    void keyOnOkButton(int keyCode);
    void keyOnCancelButton(int keyCode);
    void pressKey(int keyCode);
    void accept() { saveMoveTable(); }
    void cancel() { close(); }

    // Every way of closing (mayClose): the main window is enabled,
    // shows the target, and gets the focus back, which lets a pending
    // move-response or mail reply run.
    void close();

private:
    void escapeFromControl();
    qint64 sourceBoard() const;

    Session &m_session;
};

} // namespace kavrel::moveres
