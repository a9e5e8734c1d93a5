#pragma once

#include "base/ChangeSignal.h"
#include "dialogs/DirSelectState.h"

#include <QString>

namespace kavrel {
class Session;
}

namespace kavrel::dialogs {

// The directory settings dialog (Define_Op) without a display: the three
// directories and the editor path as typed, saved into DIR.DEF on OK.
class DefineOpState
{
public:
    static inline const QString kCaption = QStringLiteral("設定");
    static inline const QString kLogDirLabel = QStringLiteral("ＬＯＧファイルディレクトリ");
    static inline const QString kLogDirToolTip = QStringLiteral("LOGファイルのあるパスを書き込んでください");
    static inline const QString kUpDirLabel = QStringLiteral("ＵＰファイル保存ディレクトリ");
    static inline const QString kUpDirToolTip
        = QStringLiteral("UPファイルを保存するパスを書き込んでください");
    static inline const QString kBlDirLabel = QStringLiteral("各リスト保存ディレクトリ");
    static inline const QString kBlDirToolTip = QStringLiteral("ボードリストをパスを書き込んでください");
    static inline const QString kEditorPathLabel = QStringLiteral("起動エディタフルパス");
    static inline const QString kBrowseCaption = QStringLiteral("参照");
    static inline const QString kBrowseToolTip = QStringLiteral("パスの参照を行います");
    static inline const QString kOkCaption = QStringLiteral("OK");
    static inline const QString kOkToolTip = QStringLiteral("パスの設定をDIR.DEFに書き込みます");
    static inline const QString kCancelCaption = QStringLiteral("Cancel");
    static inline const QString kCancelToolTip = QStringLiteral("設定された項目を保存せずキャンセルします");

    // Registers the dialog's four fields as the picker's targets.
    DefineOpState(Session &session, DirSelectState &picker);

    QString LOG_Dir;
    QString Up_Dir;
    QString BL_Dir;
    QString Editor_Path;
    bool MonoColors = false; // the fields swap window and text colours
    bool visible = false;
    // Tells the dialog that what it shows changed.
    ChangeSignal changes { ChangeSignal::fromValues([this] {
        return QVariantList { LOG_Dir, Up_Dir, BL_Dir, Editor_Path, MonoColors, visible };
    }) };
    // The user typed into a field (field is one of the four above).
    void typeField(QString *field, const QString &text) { *field = text; }

    // Shows the dialog, filled from DIR.DEF as it is now.
    void Show();
    void load();
    void saveDirectories();
    void closeWithoutSaving();
    void browseLogDir(); // browse for LOG_Dir
    void browseUpDir(); // browse for Up_Dir
    void browseBoardListDir(); // browse for BL_Dir
    void browseEditorPath();
    // Esc in the dialog or any of its controls.
    void pressKey(int keyCode);
    void accept() { saveDirectories(); }
    // Closes without saving, as Esc does.
    void cancel();

private:
    void browse(DirSelectState::Purpose purpose);

    Session &m_session;
    DirSelectState &m_picker;
};

} // namespace kavrel::dialogs
