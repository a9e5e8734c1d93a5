#include "ArchiveWindow.h"

#include "ArchiveTimeline.h"
#include "Fonts.h"
#include "ProgramCommands.h"
#include "WindowPrefs.h"
#include "program/Program.h"

#include "base/BoardItemText.h"
#include "program/OpenHit.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace kavrel::ui {

// ---------------------------------------------------------------- boards

void ArchiveBoardModel::setBoards(const QVector<fulltext::ArchiveBoard> &boards)
{
    beginResetModel();
    m_boards = boards;
    endResetModel();
}

int ArchiveBoardModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_boards.size());
}

int ArchiveBoardModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 5;
}

QVariant ArchiveBoardModel::data(const QModelIndex &index, int role) const
{
    if (role == Qt::TextAlignmentRole && (index.column() == 0 || index.column() == 2))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    const fulltext::ArchiveBoard &b = m_boards.at(index.row());
    switch (index.column()) {
    case 0:
        return b.boardNo;
    case 1:
        return b.name;
    case 2:
        return b.articles;
    case 3:
        return b.first.left(10);
    case 4:
        return b.last.left(10);
    }
    return {};
}

QVariant ArchiveBoardModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char16_t *const names[] = { u"No.", u"ボード", u"記事", u"最初", u"最後" };
    return QString::fromUtf16(names[section]);
}

// ---------------------------------------------------------------- rows

void ArchiveRowModel::setRows(fulltext::ArchiveWindowState *state)
{
    beginResetModel();
    m_state = state;
    m_fetched = std::min(kChunk, read());
    endResetModel();
}

void ArchiveRowModel::insertUpTo(int count)
{
    count = std::min(count, read());
    if (count > m_fetched) {
        beginInsertRows({}, m_fetched, count - 1);
        m_fetched = count;
        endInsertRows();
    }
}

void ArchiveRowModel::fetchAll()
{
    if (m_state && m_state->canReadMore())
        m_state->readAll();
    insertUpTo(read());
}

int ArchiveRowModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_fetched;
}

int ArchiveRowModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 5;
}

bool ArchiveRowModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_fetched < total();
}

void ArchiveRowModel::fetchMore(const QModelIndex &parent)
{
    if (parent.isValid() || !m_state)
        return;
    // A read that fails ends the rows with those read.
    if (m_fetched + kChunk > read() && m_state->canReadMore())
        m_state->readMore();
    insertUpTo(m_fetched + kChunk);
}

QVariant ArchiveRowModel::data(const QModelIndex &index, int role) const
{
    // The state's rows change just before the model is reset.
    if ((role != Qt::DisplayRole && role != Qt::ToolTipRole) || index.row() >= read())
        return {};
    const fulltext::ArchiveRow &row = m_state->rows().at(index.row());
    const fulltext::IndexedCapture &c = row.article.shown;
    switch (index.column()) {
    case 0:
        return QString(qsizetype(row.depth) * 2, u' ') + c.number.trimmed();
    case 1:
        return c.dateTime;
    case 2:
        return c.senderName.isEmpty() ? c.senderId : c.senderId + u':' + c.senderName;
    case 3:
        return c.title;
    case 4:
        return row.article.captures > 1 ? QVariant(row.article.captures) : QVariant();
    }
    return {};
}

QVariant ArchiveRowModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char16_t *const names[] = { u"番号", u"日付", u"発信者", u"タイトル", u"取込" };
    return QString::fromUtf16(names[section]);
}

// ---------------------------------------------------------------- window

namespace {

void setUpList(QTableView *view)
{
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setWordWrap(false);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
    view->horizontalHeader()->setStretchLastSection(true);
}

} // namespace

ArchiveWindow::ArchiveWindow(ProgramCommands &program, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_program(program)
    , m_state(program.session().AppDir)
    , m_boards(new ArchiveBoardModel(this))
    , m_rows(new ArchiveRowModel(this))
    , m_boardView(new QTableView(this))
    , m_timeline(new ArchiveTimeline(this))
    , m_rowView(new QTableView(this))
    , m_article(new QPlainTextEdit(this))
    , m_status(new QLabel(this))
{
    setObjectName(QStringLiteral("Archive_Read"));
    setWindowTitle(kCaption);
    setProperty("kavrelWindow", true);
    if (!restoreGeometry(prefs::open()->value(prefs::kArchiveGeometry).toByteArray()))
        resize(1100, 700);

    m_boardView->setObjectName(QStringLiteral("Archive_Boards"));
    m_boardView->setModel(m_boards);
    setUpList(m_boardView);
    m_rowView->setObjectName(QStringLiteral("Archive_Rows"));
    m_rowView->setModel(m_rows);
    setUpList(m_rowView);
    // The title takes what the other columns leave.
    m_rowView->horizontalHeader()->setStretchLastSection(false);
    m_rowView->horizontalHeader()->setSectionResizeMode(3, QHeaderView::Stretch);
    m_article->setObjectName(QStringLiteral("Archive_Article"));
    m_article->setReadOnly(true);
    m_article->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_article->setFont(fonts::listFont());
    m_status->setObjectName(QStringLiteral("Archive_Status"));

    auto *right = new QSplitter(Qt::Vertical, this);
    right->addWidget(m_timeline);
    right->addWidget(m_rowView);
    right->addWidget(m_article);
    right->setStretchFactor(1, 1);
    right->setStretchFactor(2, 1);
    right->setCollapsible(0, false);
    auto *sides = new QSplitter(Qt::Horizontal, this);
    sides->addWidget(m_boardView);
    sides->addWidget(right);
    sides->setStretchFactor(1, 1);
    sides->setSizes({ 380, 720 });
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(sides, 1);
    layout->addWidget(m_status);

    m_rowView->installEventFilter(this);
    connect(m_boardView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex &current) {
            if (current.isValid() && current.row() != m_state.boardIndex())
                chooseBoard(current.row());
        });
    connect(m_rowView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex &current) { showRow(current.isValid() ? current.row() : -1); });
    connect(m_rowView, &QTableView::doubleClicked, this, [this](const QModelIndex &i) { openRow(i.row()); });
    connect(m_timeline, &ArchiveTimeline::monthsChosen, this, &ArchiveWindow::chooseMonths);
}

ArchiveWindow *ArchiveWindow::showFor(ProgramCommands &program, QWidget *mainWindow)
{
    auto *window = mainWindow->findChild<ArchiveWindow *>(QStringLiteral("Archive_Read"));
    if (!window)
        window = new ArchiveWindow(program, mainWindow);
    // The current board: the mail box is 0, a chat room has no history here.
    const Session &s = program.session();
    std::optional<int> boardNo;
    const ListBox &boards = s.main.Board_List;
    if (boards.ListIndex >= 0 && boards.ListIndex < boards.ListCount()) {
        const QString &item = boards.item(boards.ListIndex);
        if (boarditem::isMailBox(item))
            boardNo = 0;
        else if (!boarditem::isChat(item))
            boardNo = int(boarditem::boardNumber(item));
    }
    window->show();
    window->raise();
    window->activateWindow();
    window->openOn(s.netField(settings::NetRecord::Net_Name), boardNo);
    window->m_rowView->setFocus();
    return window;
}

void ArchiveWindow::openOn(const QString &net, std::optional<int> boardNo)
{
    setWindowTitle(net.isEmpty() ? kCaption : kCaption + QStringLiteral(" - ") + net);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = !net.isEmpty() && m_state.open(net, boardNo);
    QApplication::restoreOverrideCursor();
    m_boards->setBoards(m_state.boards());
    m_boardView->resizeColumnsToContents();
    if (m_state.boardIndex() >= 0)
        m_boardView->setCurrentIndex(m_boards->index(m_state.boardIndex(), 0));
    showRows();
    if (!ok)
        refreshStatus(net.isEmpty() ? QStringLiteral("ネットが開かれていません。") : m_state.errorText());
}

void ArchiveWindow::chooseBoard(int place)
{
    if (place < 0 || place >= m_state.boards().size())
        return;
    m_state.chooseBoard(m_state.boards().at(place).boardNo);
    m_boardView->setCurrentIndex(m_boards->index(place, 0));
    showRows();
}

void ArchiveWindow::chooseMonths(int first, int last)
{
    m_state.selectMonths(first, last);
    showRows();
}

void ArchiveWindow::clearMonths()
{
    m_state.clearMonths();
    showRows();
}

void ArchiveWindow::showRows()
{
    if (m_timeline->firstMonth() != m_state.firstMonth() || m_timeline->lastMonth() != m_state.lastMonth()
        || !m_state.hasMonths())
        m_timeline->setMonths(m_state.months());
    m_timeline->setSelection(m_state.firstMonth(), m_state.lastMonth());
    m_rows->setRows(&m_state);
    if (m_rows->rowCount() > 0) {
        for (const int column : { 0, 1, 2, 4 })
            m_rowView->resizeColumnToContents(column);
        goToRow(0);
    } else {
        showRow(-1);
    }
    refreshStatus();
}

void ArchiveWindow::showRow(int row)
{
    if (row == m_state.row() && row >= 0)
        return;
    if (!m_state.chooseRow(row))
        refreshStatus(m_state.errorText());
    m_article->setPlainText(m_state.lines().join(u'\n'));
}

void ArchiveWindow::goToRow(int row)
{
    while (row >= m_rows->rowCount() && m_rows->canFetchMore({}))
        m_rows->fetchMore({});
    if (row < 0 || row >= m_rows->rowCount())
        return;
    const QModelIndex at = m_rows->index(row, 0);
    m_rowView->setCurrentIndex(at);
    m_rowView->scrollTo(at);
}

// Space: the next page of the article, and at its end the next row.
void ArchiveWindow::page()
{
    QScrollBar *bar = m_article->verticalScrollBar();
    if (bar->value() < bar->maximum()) {
        bar->setValue(bar->value() + bar->pageStep());
        return;
    }
    goToRow(m_rowView->currentIndex().row() + 1);
}

void ArchiveWindow::openRow(int row)
{
    if (row < 0 || row >= m_state.rows().size())
        return;
    const fulltext::Hit hit = m_state.hitOf(row);
    bool opened = false;
    m_program.forward([this, &hit, &opened] {
        opened = openHit(
            m_program.core(), { hit.net, hit.logFile, hit.boardNo, hit.board, hit.number, hit.row });
    });
    if (!opened) {
        refreshStatus(QStringLiteral("この記事を開けませんでした。ログが変わった可能性があります。"));
        return;
    }
    if (QWidget *main = parentWidget()) {
        main->raise();
        main->activateWindow();
    }
}

void ArchiveWindow::refreshStatus(const QString &said)
{
    QStringList parts { said };
    if (said.isEmpty())
        parts = m_state.notices();
    if (m_state.boardIndex() >= 0) {
        const int all = m_state.boards().at(m_state.boardIndex()).articles;
        parts << (m_state.hasMonths() ? QStringLiteral("%1 件（全 %2 件）").arg(m_state.rowCount()).arg(all)
                                      : QStringLiteral("%1 件").arg(all));
    }
    parts.removeAll(QString());
    m_status->setText(parts.join(u' '));
}

void ArchiveWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    prefs::open()->setValue(prefs::kArchiveGeometry, saveGeometry());
}

void ArchiveWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        if (m_state.hasMonths())
            clearMonths();
        else
            close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool ArchiveWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_rowView && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            return QWidget::eventFilter(watched, event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            openRow(m_rowView->currentIndex().row());
            return true;
        case Qt::Key_Space:
            page();
            return true;
        case Qt::Key_Home:
            goToRow(0);
            return true;
        case Qt::Key_End:
            m_rows->fetchAll();
            goToRow(m_rows->rowCount() - 1);
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kavrel::ui
