#pragma once

#include "base/ChangeSignal.h"
#include "settings/NetDefinitionsFile.h"

#include <QString>

namespace kavrel {
class Session;
}

namespace kavrel::dialogs {
class DirSelectState;
}

namespace kavrel::netselect {

class NetSelectState;

// The net definition editor (Set_Net_Data) without a display: the fields of
// one net as texts, the serial header check box, and which header field is
// enabled. It edits the net of one slot of NetTable and stores it into
// DATA.DEF as that slot's record.
class SetNetDataState
{
public:
    static inline const QString kCaption = QStringLiteral("NET DATA SET");
    static inline const QString kNetNameLabel = QStringLiteral("ネット名");
    static inline const QString kNetNameToolTip = QStringLiteral("ネット名変更時はここに書いてください");
    static inline const QString kHeaderLabel = QStringLiteral("ヘッダ");
    static inline const QString kHeaderToolTip = QStringLiteral("TABは「,」ｶﾝﾏに置き換えてください");
    static inline const QString kMainPromptLabel = QStringLiteral("メインプロンプト");
    static inline const QString kSubcommandLabel = QStringLiteral("コマンドプロンプト");
    static inline const QString kReadEndLabel = QStringLiteral("読み終わり時メッセージ");
    static inline const QString kDeleteLabel = QStringLiteral("削除時メッセージ");
    static inline const QString kXchatLabel = QStringLiteral("XctatNo選択メッセージ");
    static inline const QString kUpFileLabel = QStringLiteral("アップテキストファイル名");
    static inline const QString kBoardListLabel = QStringLiteral("ボードリストファイル名");
    static inline const QString kLogFileLabel = QStringLiteral("Ｌｏｇファイル名");
    static inline const QString kIdListLabel = QStringLiteral("ID LISTファイル名");
    static inline const QString kSirialFlgCaption = QStringLiteral("シリアルヘッダを使用する");
    static inline const QString kSirialFlgToolTip = QStringLiteral("現在対応してません");
    static inline const QString kSirialHeaderLabel = QStringLiteral("シリアルヘッダ");
    static inline const QString kSirialHeaderToolTip
        = QStringLiteral("Tabは「,｣ｶﾝﾏに,「^H｣は｢\\H｣には置き換えてください");
    static inline const QString kSignPathLabel = QStringLiteral("シグネチャファイルフルパス");
    static inline const QString kSelectSignPathCaption = QStringLiteral("参照");
    static inline const QString kSelectSignPathToolTip = QStringLiteral("パスの参照を行います");
    static inline const QString kInputCaption = QStringLiteral("登録");
    static inline const QString kCancelCaption = QStringLiteral("キャンセル");

    // Registers Sign_Path as the picker's target for "Sign PATH".
    SetNetDataState(Session &session, dialogs::DirSelectState &picker);

    settings::NetEntry Fields;
    bool Header_Enabled = true;
    bool SirialHeader_Enabled = false;
    bool MonoColors = false;
    bool loaded = false;
    int slot = -1; // the NetTable slot being edited
    bool isNew = false;
    // Tells the editor's window that what it shows changed.
    ChangeSignal changes { ChangeSignal::fromValues([this] { return look(); }) };

    // The user typed into a field (field points into Fields).
    void typeField(QString *field, const QString &text) { *field = text; }

    // Opens the editor on a new net in slot, every field but the name at its default.
    void openNew(int slot, const QString &name);
    // Opens the editor on the stored net of slot.
    void openExisting(int slot);

    void load();
    // Every way of closing ends here: the net selection screen comes back.
    void unload();
    void storeNet();
    void closeWithoutStoring();
    void toggleSerialNumbers(); // the user toggled the check box
    void browseSignPath();
    // Esc in the editor or any of its fields and buttons.
    void pressKey(int keyCode);
    void accept() { storeNet(); }
    // Closes without storing, as Esc does.
    void cancel();

private:
    friend class NetSelectState;
    QVariantList look() const;
    void applySerialRule();
    QString unstorableCharacters() const;

    Session &m_session;
    dialogs::DirSelectState &m_picker;
    NetSelectState *m_netSelect = nullptr;
};

} // namespace kavrel::netselect
