#include "session/MainWindowState.h"

#include <algorithm>

namespace kavrel {

void MainWindowState::selectBoard(int index)
{
    Board_List.ListIndex = index;
    if (events && index >= 0)
        events->showChosenBoard();
}

void MainWindowState::selectTitle(int index)
{
    Title.ListIndex = index;
    if (events && index >= 0)
        events->showChosenRow();
    // Whatever the click showed (an article, a waiting command, nothing
    // during a search), the counter follows the selection.
    showRowCounter();
}

void MainWindowState::focusTitle()
{
    if (titleHasFocus)
        return;
    titleHasFocus = true;
    if (events)
        events->titleListFocused();
    showRowCounter();
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

} // namespace kavrel
