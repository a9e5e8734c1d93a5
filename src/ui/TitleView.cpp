#include "TitleView.h"

#include "TitleKeys.h"
#include "TitleListModel.h"
#include "VbKeys.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>

namespace kavrel::ui {

void TitleTextDelegate::paint(
    QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (m_offset == 0) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // Background and selection over the cell as it is; the text from further right.
    QStyleOptionViewItem shifted = option;
    shifted.rect.setLeft(option.rect.left() - m_offset);
    painter->save();
    painter->setClipRect(option.rect);
    QStyledItemDelegate::paint(painter, shifted, index);
    painter->restore();
}

TitleView::TitleView(QWidget *parent)
    : QTableView(parent)
    , m_titleDelegate(new TitleTextDelegate(this))
{
    setItemDelegateForColumn(TitleListModel::TitleColumn, m_titleDelegate);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setShowGrid(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setCornerButtonEnabled(false);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setMinimumSectionSize(1);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
}

void TitleView::keyPressEvent(QKeyEvent *event)
{
    if (const auto command = titleCommand(event->key(), event->modifiers())) {
        emit this->command(*command);
    } else if (const int code = vbkeys::keyCode(event); code != 0) {
        emit keyDown(code, vbkeys::shiftState(event->modifiers()));
    }
    event->accept();
}

void TitleView::keyReleaseEvent(QKeyEvent *event)
{
    event->accept(); // the key press ran the reader's key up already
}

void TitleView::mousePressEvent(QMouseEvent *event)
{
    // The selection is the reader's: the click is reported, the view follows.
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid())
        emit rowClicked(index.row(), index.column());
    event->accept();
}

void TitleView::mouseMoveEvent(QMouseEvent *event)
{
    event->accept(); // no drag selection
}

void TitleView::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
}

void TitleView::focusInEvent(QFocusEvent *event)
{
    QTableView::focusInEvent(event);
    emit gotFocus();
}

void TitleView::focusOutEvent(QFocusEvent *event)
{
    QTableView::focusOutEvent(event);
    // A message box or a window of another program does not take the focus
    // from the title list; another control or another of our windows does.
    // Hiding or disabling the main window (the editor wait, a window that
    // must be finished first) is not a move of the focus either.
    QWidget *active = QApplication::activeWindow();
    const bool toOurOtherWindow = active && active != window() && !qobject_cast<QMessageBox *>(active)
        && !active->property("kavrelWindow").isNull();
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason) {
        if (!toOurOtherWindow)
            return;
    } else if (!window()->isVisible() || !window()->isEnabled()) {
        return;
    }
    emit lostFocus();
}

bool TitleView::focusNextPrevChild(bool)
{
    return false; // Tab is a key for the reader like any other
}

} // namespace kavrel::ui
