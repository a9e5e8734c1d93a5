#pragma once

#include "session/ReaderCommand.h"

#include <QStyledItemDelegate>
#include <QTableView>

namespace kavrel::ui {

// Paints the title column shifted left by the title scroll bar's value, so
// that only the titles scroll sideways while the batch mark, the number and
// the information stay in place.
class TitleTextDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void setOffset(int offset) { m_offset = offset; }
    int offset() const { return m_offset; }
    void paint(
        QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    int m_offset = 0;
};

// The title list (Title). It keeps the keyboard focus and hands every key to
// the reader instead of moving by itself, a key that stands for a command as
// that command (TitleKeys.h) and any other as its key code; a click on any column selects the
// row in all four, through the reader.
class TitleView : public QTableView
{
    Q_OBJECT
public:
    explicit TitleView(QWidget *parent = nullptr);

    TitleTextDelegate *titleDelegate() const { return m_titleDelegate; }

signals:
    void command(kavrel::ReaderCommand command);
    void keyDown(int keyCode, int shift);
    void rowClicked(int row, int column);
    void gotFocus();
    // lost to another control or another of the program's windows
    void lostFocus();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    TitleTextDelegate *m_titleDelegate;
};

} // namespace kavrel::ui
