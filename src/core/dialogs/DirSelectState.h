#pragma once

#include "base/ChangeSignal.h"
#include "session/ListBox.h"

#include <QHash>
#include <QString>

#include <functional>

namespace kavrel {
class Session;
}

namespace kavrel::dialogs {

// The directory picker (Dir_Select) without a display: a drive list, the
// directory being looked at with its subdirectories, and the files in it.
// The purpose of a pick is set by the window that shows the picker; the
// windows that open the picker register where each purpose's result goes.
class DirSelectState
{
public:
    static inline const QString kCaption = QStringLiteral("ディレクトリ参照");
    static inline const QString kOkCaption = QStringLiteral("ＯＫ");
    static inline const QString kCancelCaption = QStringLiteral("Cansel");
    static inline const QString kDriveToolTip = QStringLiteral("設定するドライブを選んでください");
    static inline const QString kDirToolTip = QStringLiteral("設定するディレクトリを選んでください");

    // What a pick is for: a directory (LOG, UP TEXT, BOARD LIST) or a file
    // (EDITOR PATH, Sign PATH).
    enum class Purpose { None, Log, UpText, BoardList, EditorPath, SignPath };

    explicit DirSelectState(Session &session)
        : m_session(session)
    {
    }

    // Where the picked path of a purpose goes.
    void setTarget(Purpose purpose, std::function<void(const QString &)> target);

    ListBox Select_Drive;
    QString Select_Dir_Path; // the directory list's current path
    ListBox Select_Dir; // its subdirectories, by name
    ListBox File_Select; // the files in it, by name
    bool File_Select_Enabled = false;
    bool visible = false;
    // Set before Show; kept when the picker is cancelled, cleared by OK.
    Purpose purpose = Purpose::None;
    // Tells the picker's window that what it shows changed.
    ChangeSignal changes { ChangeSignal::fromValues([this] {
        return QVariantList { Select_Drive.items, Select_Drive.ListIndex, Select_Dir_Path, Select_Dir.items,
            File_Select.items, File_Select.ListIndex, File_Select_Enabled, visible };
    }) };
    // The user chose a drive from the list, or a file by its name.
    void chooseDrive(int index)
    {
        Select_Drive.ListIndex = index;
        chooseDrive();
    }
    void chooseFile(const QString &name) { File_Select.ListIndex = int(File_Select.items.indexOf(name)); }

    // Shows the picker; the file list is enabled for the purposes that pick a file.
    void Show();
    void load();
    void chooseDrive();
    // The directory list moved to path (a subdirectory opened, or "..").
    void chooseDirectory(const QString &path);
    void takePick();
    void cancelPick();
    // Esc in the picker or any of its controls.
    void pressKey(int keyCode);
    void accept() { takePick(); }
    void cancel() { close(); }

private:
    void close();

    Session &m_session;
    QHash<Purpose, std::function<void(const QString &)>> m_targets;
};

} // namespace kavrel::dialogs
