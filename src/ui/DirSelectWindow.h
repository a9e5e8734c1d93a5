#pragma once

#include "StateWindow.h"

class QComboBox;
class QFileSystemModel;
class QListView;
class QTreeView;

namespace kavrel::dialogs {
class DirSelectState;
}

namespace kavrel::ui {

// The directory picker (Dir_Select, "ディレクトリ参照"): the drives, the
// directory tree and the files of the chosen directory, shown with Qt's own
// file system model. The core keeps the chosen directory and file; the views
// follow it.
class DirSelectWindow : public StateWindow
{
    Q_OBJECT
public:
    DirSelectWindow(QWidget *mainWindow, dialogs::DirSelectState &state);

    QTreeView *directoryView() const { return m_dirs; }
    QListView *fileView() const { return m_files; }

protected:
    void refresh() override;
    void escape() override;

private:
    dialogs::DirSelectState &m_state;
    QComboBox *m_drives;
    QFileSystemModel *m_dirModel;
    QFileSystemModel *m_fileModel;
    QTreeView *m_dirs;
    QListView *m_files;
    QString m_shownDir;
    // Until the user moves in the tree, the chosen directory is brought back
    // into view while the model loads the directories around it.
    bool m_revealPending = false;
    void revealDir();
    void revealLater();
};

} // namespace kavrel::ui
