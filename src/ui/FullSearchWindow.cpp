#include "FullSearchWindow.h"

#include "ProgramCommands.h"
#include "WindowPlaces.h"
#include "WindowPrefs.h"
#include "program/Program.h"

#include "program/OpenHit.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace kavrel::ui {

// ---------------------------------------------------------------- model

void FullSearchModel::setHits(QVector<fulltext::Hit> hits)
{
    beginResetModel();
    m_hits = std::move(hits);
    endResetModel();
}

int FullSearchModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_hits.size());
}

int FullSearchModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 8;
}

QVariant FullSearchModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    const fulltext::Hit &h = m_hits.at(index.row());
    switch (index.column()) {
    case 0:
        return h.dateTime;
    case 1:
        return h.net;
    case 2:
        return h.board == u"0" ? QStringLiteral("メール") : h.board + u' ' + h.boardName;
    case 3:
        return h.number;
    case 4:
        return h.senderName.isEmpty() ? h.senderId : h.senderId + u':' + h.senderName;
    case 5:
        return h.title;
    case 6:
        return h.captures > 1 ? QString::number(h.captures) : QString();
    case 7:
        return h.snippet;
    }
    return {};
}

QVariant FullSearchModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char16_t *const names[]
        = { u"日付", u"ネット", u"ボード", u"番号", u"発信者", u"タイトル", u"取込", u"本文" };
    return QString::fromUtf16(names[section]);
}

// ---------------------------------------------------------------- indexer

void FullSearchIndexer::run(const QString &appDir)
{
    fulltext::FullTextIndex index(appDir);
    const bool ok = index.open()
        && index.update(
            {},
            [this](const fulltext::FullTextIndex::Progress &p) {
                emit progress(p.done, p.total, p.net, p.log, p.percent);
            },
            &cancel);
    emit finished(ok, index.errorText(), index.notices());
}

// ---------------------------------------------------------------- querier

void FullSearchQuerier::run(
    int serial, const QString &appDir, const fulltext::Query &query, int limit, FullSearchWindow *window)
{
    if (serial != latest)
        return; // a later query waits
    if (!m_index)
        m_index = std::make_unique<fulltext::FullTextIndex>(appDir);
    QVector<fulltext::Hit> hits;
    const bool ok = fulltext::SearchWindowState::findArticles(*m_index, query, limit, &hits);
    const QString error = ok ? QString() : m_index->errorText();
    // The window outlives this thread; a call still queued when it closes is dropped with it.
    QMetaObject::invokeMethod(
        window, [window, serial, ok, hits, error] { window->showHits(serial, ok, hits, error); },
        Qt::QueuedConnection);
}

// ---------------------------------------------------------------- window

FullSearchWindow::FullSearchWindow(ProgramCommands &program, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_program(program)
    , m_query(new QLineEdit(this))
    , m_results(new QTableView(this))
    , m_status(new QLabel(this))
    , m_model(new FullSearchModel(this))
    , m_indexer(new FullSearchIndexer)
    , m_querier(new FullSearchQuerier)
{
    setObjectName(QStringLiteral("Full_Search"));
    setWindowTitle(kCaption);
    setProperty("kavrelWindow", true);
    // Where the user left it last time, or wide enough for the lines found
    // and centred over the main window.
    resize(1100, 520);
    places::placeOver(this, parent, prefs::kFullSearchGeometry);

    m_query->setObjectName(QStringLiteral("Full_Search_Text"));
    m_query->setPlaceholderText(
        QStringLiteral("言葉 \"語句\" from:ID board:番号 net:ネット名 since:YY/MM/DD until:YY/MM/DD"));
    auto *button = new QPushButton(QStringLiteral("検索"), this);
    button->setObjectName(QStringLiteral("Full_Search_Start"));
    m_status->setObjectName(QStringLiteral("Full_Search_Status"));

    m_results->setObjectName(QStringLiteral("Full_Search_Results"));
    m_results->setModel(m_model);
    m_results->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_results->setSelectionMode(QAbstractItemView::SingleSelection);
    m_results->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_results->setWordWrap(false);
    m_results->verticalHeader()->hide();
    m_results->horizontalHeader()->setStretchLastSection(true);
    m_results->installEventFilter(this);
    m_query->installEventFilter(this);

    auto *row = new QHBoxLayout;
    row->addWidget(m_query, 1);
    row->addWidget(button);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(m_results, 1);
    layout->addWidget(m_status);

    const auto ask = [this] { search(true); };
    connect(m_query, &QLineEdit::returnPressed, this, ask);
    connect(button, &QPushButton::clicked, this, ask);
    connect(m_results, &QTableView::doubleClicked, this, [this](const QModelIndex &i) { openRow(i.row()); });

    m_indexer->moveToThread(&m_thread);
    connect(m_indexer, &FullSearchIndexer::progress, this,
        [this](int done, int total, const QString &net, const QString &log, int percent) {
            m_state.updateProgress(done, total, net, log, percent);
            refreshStatus();
        });
    connect(m_indexer, &FullSearchIndexer::finished, this,
        [this](bool ok, const QString &error, const QStringList &notices) {
            const bool again = m_state.updateFinished(ok, error, notices, m_query->text());
            refreshStatus();
            if (again)
                search();
            emit updateFinished();
        });
    m_thread.start();
    m_querier->moveToThread(&m_queryThread);
    m_queryThread.start();
}

FullSearchWindow::~FullSearchWindow()
{
    m_indexer->cancel = true;
    m_querier->latest = -1; // queries still queued are not run
    m_thread.quit();
    m_queryThread.quit();
    m_thread.wait();
    m_queryThread.wait();
    delete m_indexer; // their threads have ended
    delete m_querier;
}

FullSearchWindow *FullSearchWindow::showFor(ProgramCommands &program, QWidget *mainWindow)
{
    auto *window = mainWindow->findChild<FullSearchWindow *>(QStringLiteral("Full_Search"));
    if (!window)
        window = new FullSearchWindow(program, mainWindow);
    window->show();
    window->raise();
    window->activateWindow();
    window->m_query->setFocus();
    window->m_query->selectAll();
    return window;
}

void FullSearchWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    places::keep(this, prefs::kFullSearchGeometry);
}

void FullSearchWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    startUpdate();
}

void FullSearchWindow::startUpdate()
{
    if (!m_state.startUpdate())
        return;
    refreshStatus();
    const QString appDir = m_program.session().AppDir;
    QMetaObject::invokeMethod(
        m_indexer, [indexer = m_indexer, appDir] { indexer->run(appDir); }, Qt::QueuedConnection);
}

void FullSearchWindow::search(bool byUser)
{
    fulltext::Query query;
    const int serial = m_state.startSearch(m_query->text(), &query, byUser);
    m_querier->latest = serial;
    if (!query.isValid())
        m_model->setHits({});
    refreshStatus();
    if (!query.isValid())
        return;
    QMetaObject::invokeMethod(
        m_querier,
        [querier = m_querier, serial, appDir = m_program.session().AppDir, query, limit = m_state.limit(),
            this] { querier->run(serial, appDir, query, limit, this); },
        Qt::QueuedConnection);
}

void FullSearchWindow::showHits(int serial, bool ok, const QVector<fulltext::Hit> &hits, const QString &error)
{
    if (!m_state.takeHits(serial, ok, hits, error))
        return; // a later query has been started
    m_model->setHits(m_state.hits());
    m_results->resizeColumnsToContents();
    // A long board name or title gives way: the line of text where the words
    // were found tells most, and keeps its room (each cell shows all of
    // itself as a tooltip).
    const int widest = qMax(120, m_results->viewport()->width() / 5);
    for (const int column : { 2, 5 }) {
        if (m_results->columnWidth(column) > widest)
            m_results->setColumnWidth(column, widest);
    }
    if (!m_state.hits().isEmpty())
        m_results->selectRow(0);
    refreshStatus();
    emit searchFinished();
}

void FullSearchWindow::openRow(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    const fulltext::Hit hit = m_model->hit(row);
    bool opened = false;
    m_program.forward([this, &hit, &opened] {
        opened = openHit(
            m_program.core(), { hit.net, hit.logFile, hit.boardNo, hit.board, hit.number, hit.row });
    });
    if (!opened) {
        // The log has changed since it was indexed: the window stays, says
        // so, and brings the index up to date, which runs the query again.
        m_state.openFailed();
        refreshStatus();
        startUpdate();
        return;
    }
    if (QWidget *main = parentWidget()) {
        main->raise();
        main->activateWindow();
    }
}

void FullSearchWindow::refreshStatus()
{
    m_status->setText(m_state.statusText());
}

void FullSearchWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool FullSearchWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_results && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            openRow(m_results->currentIndex().row());
            return true;
        }
        // Up from the first hit goes back to the query.
        if (key == Qt::Key_Up && m_results->currentIndex().row() <= 0) {
            m_query->setFocus();
            return true;
        }
    }
    // From the query, Down goes to the hits, the first one chosen.
    if (watched == m_query && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Down && m_model->rowCount() > 0) {
        if (!m_results->currentIndex().isValid())
            m_results->selectRow(0);
        m_results->setFocus();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kavrel::ui
