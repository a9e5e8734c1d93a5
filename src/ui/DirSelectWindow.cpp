#include "DirSelectWindow.h"

#include "base/KeyCodes.h"

#include "dialogs/DirSelectState.h"

#include <QComboBox>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QTreeView>

#include <algorithm>

namespace kavrel::ui {

using dialogs::DirSelectState;

DirSelectWindow::DirSelectWindow(QWidget *mainWindow, DirSelectState &state)
    : StateWindow(mainWindow, state.changes)
    , m_state(state)
{
    setObjectName(QStringLiteral("Dir_Select"));
    setWindowTitle(DirSelectState::kCaption);

    m_drives = new QComboBox(this);
    m_drives->setObjectName(QStringLiteral("Select_Drive"));
    m_drives->setToolTip(DirSelectState::kDriveToolTip);

    m_dirModel = new QFileSystemModel(this);
    m_dirModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_dirModel->setRootPath(QString());
    m_dirs = new QTreeView(this);
    m_dirs->setObjectName(QStringLiteral("Select_Dir"));
    m_dirs->setToolTip(DirSelectState::kDirToolTip);
    m_dirs->setModel(m_dirModel);
    m_dirs->setHeaderHidden(true);
    // A deep directory is indented past the width of the view: the tree
    // scrolls sideways rather than cutting its names off.
    m_dirs->header()->setStretchLastSection(false);
    m_dirs->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_dirs->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    for (int c = 1; c < m_dirModel->columnCount(); ++c)
        m_dirs->hideColumn(c);

    m_fileModel = new QFileSystemModel(this);
    m_fileModel->setFilter(QDir::Files);
    m_files = new QListView(this);
    m_files->setObjectName(QStringLiteral("File_Select"));
    m_files->setModel(m_fileModel);

    auto *ok = new QPushButton(DirSelectState::kOkCaption, this);
    ok->setObjectName(QStringLiteral("OK_DIR"));
    defaultButton(ok);
    auto *cancel = new QPushButton(DirSelectState::kCancelCaption, this);
    cancel->setObjectName(QStringLiteral("Dir_Select_Cancel"));
    returnButton(cancel);

    auto *grid = new QGridLayout(this);
    grid->addWidget(m_drives, 0, 0);
    grid->addWidget(m_dirs, 1, 0);
    grid->addWidget(m_files, 0, 1, 2, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 2, 0, 1, 2);
    resize(560, 380);

    connect(m_drives, &QComboBox::activated, this,
        [this](int index) { runCommand([this, index] { m_state.chooseDrive(index); }); });
    connect(m_dirModel, &QFileSystemModel::directoryLoaded, this, [this](const QString &loaded) {
        if (m_revealPending && (m_shownDir == loaded || m_shownDir.startsWith(loaded)))
            revealDir();
    });
    // The model fills and sorts the tree bit by bit: each change can move the
    // chosen directory out of view again.
    connect(m_dirModel, &QFileSystemModel::rowsInserted, this, &DirSelectWindow::revealLater);
    connect(m_dirModel, &QFileSystemModel::layoutChanged, this, &DirSelectWindow::revealLater);
    connect(
        m_dirs->verticalScrollBar(), &QScrollBar::actionTriggered, this, [this] { m_revealPending = false; });
    onKey(m_dirs, [this](int, int) {
        m_revealPending = false;
        return false;
    });
    connect(m_dirs, &QTreeView::clicked, this, [this](const QModelIndex &index) {
        m_revealPending = false;
        const QString path = m_dirModel->filePath(index);
        runCommand([this, path] { m_state.chooseDirectory(path); });
    });
    connect(m_dirs, &QTreeView::activated, this, [this](const QModelIndex &index) {
        const QString path = m_dirModel->filePath(index);
        runCommand([this, path] { m_state.chooseDirectory(path); });
    });
    // A file is chosen by a click or by moving through the list with the keys.
    const auto chooseFile = [this](const QModelIndex &index) {
        if (!index.isValid())
            return;
        const QString name = m_fileModel->fileName(index);
        runCommand([this, name] { m_state.chooseFile(name); });
    };
    connect(m_files, &QListView::clicked, this, chooseFile);
    connect(m_files->selectionModel(), &QItemSelectionModel::currentChanged, this, chooseFile);
    connect(ok, &QPushButton::clicked, this, [this] { runCommand([this] { m_state.takePick(); }); });
    connect(cancel, &QPushButton::clicked, this, [this] { runCommand([this] { m_state.cancelPick(); }); });
}

void DirSelectWindow::refresh()
{
    if (m_drives->count() != m_state.Select_Drive.ListCount()) {
        m_drives->clear();
        m_drives->addItems(m_state.Select_Drive.items);
    }
    m_drives->setCurrentIndex(m_state.Select_Drive.ListIndex);

    const bool opening = m_state.visible && !isVisible();
    if (m_shownDir != m_state.Select_Dir_Path) {
        m_shownDir = m_state.Select_Dir_Path;
        m_revealPending = true;
        revealDir();
        m_files->setRootIndex(m_fileModel->setRootPath(m_shownDir));
    }
    const QString file = m_state.File_Select.selectedText();
    if (file.isEmpty())
        m_files->clearSelection();
    else
        m_files->setCurrentIndex(m_fileModel->index(QDir(m_shownDir).filePath(file)));
    m_files->setEnabled(m_state.File_Select_Enabled);
    syncShown(m_state.visible);
    if (opening) {
        // Opens with the current directory selected and in view, once the
        // tree has its size.
        m_revealPending = true;
        revealDir();
        revealLater();
    }
}

void DirSelectWindow::revealLater()
{
    if (m_revealPending)
        QTimer::singleShot(0, this, [this] {
            if (m_revealPending)
                revealDir();
        });
}

void DirSelectWindow::revealDir()
{
    const QModelIndex dir = m_dirModel->index(m_shownDir);
    if (!dir.isValid())
        return;
    if (m_dirs->currentIndex() != dir)
        m_dirs->setCurrentIndex(dir);
    m_dirs->expand(dir);
    m_dirs->scrollTo(dir, QAbstractItemView::PositionAtCenter);
    // Sideways, its name from a little before its indentation.
    QScrollBar *across = m_dirs->horizontalScrollBar();
    const int left = m_dirs->visualRect(dir).left() + across->value();
    across->setValue(std::max(0, left - 2 * m_dirs->indentation()));
}

void DirSelectWindow::escape()
{
    m_state.pressKey(keys::Key_Escape);
}

} // namespace kavrel::ui
