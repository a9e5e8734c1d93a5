#include "session/MainWindowState.h"

#include <algorithm>

namespace kavrel {

void MainWindowState::selectTitle(int index)
{
    Title.ListIndex = index;
    showRowCounter();
}

void clickBoard(MainWindowState &main, int index)
{
    main.selectBoard(index);
    if (main.events && index >= 0)
        main.events->showChosenBoard();
}

void clickRow(MainWindowState &main, int index)
{
    main.selectTitle(index);
    if (main.events && index >= 0)
        main.events->showChosenRow();
    // Whatever the click showed (an article, a waiting command, nothing
    // during a search), the counter follows the selection.
    main.showRowCounter();
}

void clickTitleList(MainWindowState &main)
{
    if (main.titleHasFocus)
        return;
    main.focusTitle();
    if (main.events)
        main.events->titleListFocused();
    main.showRowCounter();
}

void MainWindowState::showRowCounter()
{
    const int rows = Title.ListCount();
    const int row = Title.ListIndex >= 0 && Title.ListIndex < rows ? Title.ListIndex + 1 : 0;
    ArticleCount.Caption = QString::number(row) + u'/' + QString::number(rows);
}

void MainWindowState::clearTitleColumns()
{
    BatchSet.clear();
    Title.clear();
    InfoColumn.clear();
    SubjectColumn.clear();
}

void MainWindowState::appendRow(
    const QString &batch, const QString &number, const QString &info, const QString &title)
{
    BatchSet.addItem(batch);
    Title.addItem(number);
    InfoColumn.addItem(info);
    SubjectColumn.addItem(title);
}

void MainWindowState::appendRow(
    const QString &batch, int indent, const QString &number, const QString &info, const QString &title)
{
    BatchSet.addItem(batch);
    Title.addItem(indent, number);
    InfoColumn.addItem(info);
    SubjectColumn.addItem(title);
}

void MainWindowState::insertRow(
    int index, const QString &batch, const QString &number, const QString &info, const QString &title)
{
    BatchSet.insertItem(index, batch);
    Title.insertItem(index, number);
    InfoColumn.insertItem(index, info);
    SubjectColumn.insertItem(index, title);
}

void MainWindowState::selectLastVisibleArticleLine()
{
    const int v = ArticleVisibleLines - 1;
    if (v > Article.ListCount() - 1)
        Article.ListIndex = Article.ListCount() - 1;
    else if (Article.ListCount() >= 1)
        Article.ListIndex = v;
}

void MainWindowState::resizeArticleView(int visibleLines)
{
    ArticleVisibleLines = std::max(1, visibleLines);
    selectLastVisibleArticleLine();
}

// What the main window shows. The row lists are kept as shared copies: a
// list the reader has not touched since is the same data, compared at once.
struct MainWindowState::Look
{
    QString caption;
    QStringList boards;
    int board = -1;
    bool boardsEnabled = true;
    QStringList batch;
    IndentedItems numbers;
    TextItems info;
    TextItems titles;
    int row = -1;
    QStringList article;
    int articleLine = -1;
    QString counter, target;
    bool counterEnabled = true, targetEnabled = true;
    bool menus[4] = {};
    bool visible = false, enabled = true, titleHasFocus = false;

    explicit Look(const MainWindowState &s)
        : caption(s.Caption)
        , boards(s.Board_List.items)
        , board(s.Board_List.ListIndex)
        , boardsEnabled(s.Board_List.enabled)
        , batch(s.BatchSet.items)
        , numbers(s.Title.items)
        , info(s.InfoColumn.items)
        , titles(s.SubjectColumn.items)
        , row(s.Title.ListIndex)
        , article(s.Article.items)
        , articleLine(s.Article.ListIndex)
        , counter(s.ArticleCount.Caption)
        , target(s.To_No.Caption)
        , counterEnabled(s.ArticleCount.enabled)
        , targetEnabled(s.To_No.enabled)
        , menus { s.Search_Pointer_Enabled, s.Read_End_Enabled, s.Search_Log_Enabled, s.Ido_Set_Enabled }
        , visible(s.visible)
        , enabled(s.enabled)
        , titleHasFocus(s.titleHasFocus)
    {
    }

    bool operator==(const Look &o) const
    {
        return caption == o.caption && boards == o.boards && board == o.board
            && boardsEnabled == o.boardsEnabled && batch == o.batch
            && (numbers.sharesData(o.numbers) || numbers == o.numbers)
            && (info.sharesData(o.info) || info == o.info)
            && (titles.sharesData(o.titles) || titles == o.titles) && row == o.row && article == o.article
            && articleLine == o.articleLine && counter == o.counter && target == o.target
            && counterEnabled == o.counterEnabled && targetEnabled == o.targetEnabled
            && std::equal(std::begin(menus), std::end(menus), std::begin(o.menus)) && visible == o.visible
            && enabled == o.enabled && titleHasFocus == o.titleHasFocus;
    }
};

ChangeSignal &MainWindowState::changes()
{
    if (!m_changes.signal) {
        m_changes.reported = std::make_shared<Look>(*this);
        m_changes.signal = std::make_shared<ChangeSignal>([this] { return takeChange(); });
    }
    return *m_changes.signal;
}

bool MainWindowState::takeChange()
{
    Look now(*this);
    if (now == *m_changes.reported)
        return false;
    *m_changes.reported = std::move(now);
    return true;
}

} // namespace kavrel
