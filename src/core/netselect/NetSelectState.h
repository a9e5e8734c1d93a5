#pragma once

#include "base/ChangeSignal.h"
#include "netselect/MultiSelectList.h"
#include "session/ListBox.h"

#include <QString>

#include <functional>

namespace kavrel {
class Session;
}

namespace kavrel::commands {
class Drafts;
}

namespace kavrel::netselect {

class SetNetDataState;

// The net selection screen (Net_Select) without a display: the nets, the
// chosen net's logs in a single- and a multi-selection list, the name field
// for a new net, and the buttons.
//
// The current net (NetIndex) changes only when a net is chosen. Editing,
// registering and deleting work on the selected entry without making it the
// current net: the log open in the reader stays with its own net, and the up
// file text in memory is never taken for another net's.
class NetSelectState
{
public:
    static inline const QString kSelectMenuToolTip = QStringLiteral(
        "読み込みたいネット名を選択してください（なにも登録してない場合は新規登録を行ってください）");
    static inline const QString kNetNameToolTip = QStringLiteral("新規登録するネット名を書き込んでください");
    static inline const QString kNetSetCaption = QStringLiteral("登録");
    static inline const QString kNetSetToolTip = QStringLiteral("新規登録を行います");
    static inline const QString kChangeCaption = QStringLiteral("内容変更");
    static inline const QString kChangeToolTip = QStringLiteral("選択されたネットの設定内容を変更します");
    static inline const QString kDeleteCaption = QStringLiteral("削除");
    static inline const QString kDeleteToolTip = QStringLiteral("選択されたネットの設定内容を削除します");
    static inline const QString kCancelCaption = QStringLiteral("キャンセル");
    static inline const QString kCancelToolTip = QStringLiteral("ネット選択をキャンセルします");
    static inline const QString kLogListToolTip = QStringLiteral(
        "選択されたネットのＬＯＧファイルです。表示希望のＬＯＧをダブルクリックしてください");
    static inline const QString kMultiCheckCaption = QStringLiteral("マルチセレクトモード");
    static inline const QString kMultiCheckToolTip
        = QStringLiteral("複数のログを一回で読み込むためのモードです");
    static inline const QString kLogReadCaption = QStringLiteral("読み込み開始");
    static inline const QString kLabel2 = QStringLiteral("ネット名選択");
    static inline const QString kLabel1 = QStringLiteral("新規登録");
    static inline const QString kLabel3 = QStringLiteral("ログファイルリスト");

    static inline const QString kEmptyNameMessage
        = QStringLiteral("新規登録するネット名を書き込んでください");
    static inline const QString kUpFileQuestion
        = QStringLiteral("アップファイルが存在します！削除しますか？");
    static inline const QString kDeleteQuestion = QStringLiteral("指定されたＢＢＳデータを削除しますか？");

    enum class Focus { None, Select_menu, Log_List_File, Log_List_File2 };

    NetSelectState(Session &session, SetNetDataState &editor);

    ListBox Select_menu; // net names without their blank padding
    QString Net_Name; // the name of a net to register
    ListBox Log_List_File;
    MultiSelectList Log_List_File2;
    bool multi_check = false;
    bool Log_List_File_Visible = true;
    bool Log_List_File2_Visible = false;
    bool MonoColors = false; // lists and the name field swap their colours
    bool enabled = true; // false while the editor is open on a net
    bool loaded = false; // shown
    Focus focus = Focus::None;
    // Told while the chosen logs (named by name) are read; answering false
    // cancels the open, which then changes nothing. The window shows it.
    std::function<bool(const QString &name, qint64 done, qint64 total)> openProgress;
    // The drafts offered when a net is chosen; none when null.
    commands::Drafts *drafts = nullptr;
    // Tells the screen that what it shows changed.
    ChangeSignal changes { ChangeSignal::fromValues([this] { return look(); }) };

    // Shows the screen (loading it when it is not shown).
    void Show();
    void load();
    // Every way of closing ends here.
    void unload();

    // Moving the highlight in the net list: the net's logs show at once.
    void highlightNet(int row);
    // Choosing a net: a double-click or Enter on the selected entry.
    void chooseNet();
    void keyInNetList(int keyCode);
    void registerNet();
    void editNet();
    void deleteNet();
    void toggleMultiSelect();
    void openChosenLog();
    void keyInLogList(int keyCode);
    void openChosenLogs();
    void readChosenLogs();
    void closeScreen();
    // Esc in the screen or any of its controls closes it.
    void pressKey(int keyCode);
    // Closes the screen, as Esc does.
    void cancel() { closeScreen(); }

    // The editor stored slot: its list entry shows the stored name.
    void netStored(int slot);

    // The user's edits: the name typed, the log highlighted, the logs
    // selected in the multi-selection list.
    void typeNetName(const QString &text) { Net_Name = text; }
    void highlightLog(int row) { Log_List_File.ListIndex = row; }
    void selectLogs(const QList<bool> &selected);

private:
    QVariantList look() const;
    bool acceptsInput() const;
    void chooseNet(int slot);
    void showLogs(const QStringList &logs);
    void loadUpFile();
    void keepFoundUpFile();
    void openLogs(const QStringList &entries);

    Session &m_session;
    SetNetDataState &m_editor;
};

} // namespace kavrel::netselect
