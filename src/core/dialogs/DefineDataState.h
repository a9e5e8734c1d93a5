#pragma once

#include "base/ChangeSignal.h"
#include "settings/SettingsRecords.h"

#include <QString>

namespace kavrel {
class Session;
}

namespace kavrel::dialogs {

// The option flags dialog (Define_data) without a display: seven check boxes
// for the flags in memory, saved into SET.def on OK.
class DefineDataState
{
public:
    static inline const QString kCaption = QStringLiteral("諸設定");
    static inline const QString kNetSelectCaption = QStringLiteral("起動時ネット選択画面を表示する");
    static inline const QString kSignCaption = QStringLiteral("シグネチャファイルを付加する");
    static inline const QString kResDelCaption = QStringLiteral("レスコマンド時の空白引用は削除する");
    static inline const QString kBoardListCaption = QStringLiteral("ボードリストを更新しない");
    static inline const QString kTitleOnlyCaption = QStringLiteral("タイトルオンリー時シグネチャを付加する");
    static inline const QString kMonoCaption = QStringLiteral("白黒反転する");
    static inline const QString kShiftCaption
        = QStringLiteral("Space　Or　→　Or　RollDownで　　　　　　　　　　次アーティクルへの移動許可");
    static inline const QString kOkCaption = QStringLiteral("ＯＫ");
    static inline const QString kCancelCaption = QStringLiteral("Cancel");

    explicit DefineDataState(Session &session)
        : m_session(session)
    {
    }

    bool NET_SELECT_CHECK = false;
    bool Sign_CHECK = false;
    bool Res_Del_Check = false;
    bool Board_List_Check = false;
    bool Title_Only_Check = false;
    bool Mono_Check = false;
    bool Shift_Check = false;
    bool visible = false;
    // Tells the dialog that what it shows changed.
    ChangeSignal changes { ChangeSignal::fromValues([this] {
        return QVariantList { NET_SELECT_CHECK, Sign_CHECK, Res_Del_Check, Board_List_Check, Title_Only_Check,
            Mono_Check, Shift_Check, visible };
    }) };
    // The user ticked or cleared a box (flag is one of the above).
    void tick(bool *flag, bool on) { *flag = on; }

    // Shows the dialog with the flags as they are in memory.
    void Show();
    void load();
    void save(); // save
    void discard(); // cancel
    // Esc in the dialog or any of its controls.
    void pressKey(int keyCode);
    void accept() { save(); }
    // Closes without saving, as Esc does.
    void cancel();

private:
    Session &m_session;
};

} // namespace kavrel::dialogs
