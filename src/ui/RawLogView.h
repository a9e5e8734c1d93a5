#pragma once

#include "rawlog/RawLogFile.h"

#include <QAbstractScrollArea>
#include <QWidget>

class QLabel;
class QLineEdit;

namespace kavrel {
class Session;
}
namespace kavrel::reader {
class Reader;
}

namespace kavrel::ui {

// The lines of a raw log, painted straight from the mapped file: only the
// lines on screen are decoded, so a log of hundreds of megabytes scrolls as
// fast as a small one. The shown article's lines are marked, board lines
// stand out, and one line is the current line.
class RawLogLines : public QAbstractScrollArea
{
    Q_OBJECT
public:
    explicit RawLogLines(QWidget *parent = nullptr);

    void setFile(const rawlog::RawLogFile *file);
    void setMarked(const rawlog::ArticleLines &lines);
    const rawlog::ArticleLines &marked() const { return m_marked; }

    qsizetype topLine() const;
    int visibleLines() const;
    qsizetype currentLine() const { return m_current; }
    // Makes line current and scrolls it into view; with atTop, it becomes
    // the second line on screen when the file allows.
    void setCurrentLine(qsizetype line, bool atTop = false);
    int lineHeight() const { return m_lineHeight; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void updateScrollBars();
    void measureVisible();

    const rawlog::RawLogFile *m_file = nullptr;
    rawlog::ArticleLines m_marked;
    qsizetype m_current = -1;
    int m_lineHeight = 16;
    int m_widest = 0;
};

// ログで表示: a read-only window on the open log as it was captured,
// scrolled to the shown article, with Ctrl+F to search in it.
class RawLogView : public QWidget
{
    Q_OBJECT
public:
    explicit RawLogView(QWidget *parent = nullptr);

    // Opens the log file, at its first line.
    bool showLog(const QString &path, fileio::FileError *error = nullptr);
    // Marks the article's lines and scrolls to them.
    void markArticle(const rawlog::ArticleLines &article);
    // The window of a main window for its open log and shown article:
    // created on first use, brought up to date and shown. Null when no log
    // is open; a log that cannot be read is reported in a message box.
    static RawLogView *showFor(QWidget *mainWindow, Session &session, const reader::Reader &reader);

    const rawlog::RawLogFile &file() const { return m_file; }
    RawLogLines *lines() const { return m_lines; }
    QLineEdit *findField() const { return m_findField; }
    // Searches the text of the find field from the current line; false when
    // the log does not hold it.
    bool findNext(bool forward = true);
    void openFind();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    rawlog::RawLogFile m_file;
    RawLogLines *m_lines = nullptr;
    QWidget *m_findBar = nullptr;
    QLineEdit *m_findField = nullptr;
    QLabel *m_findStatus = nullptr;
};

} // namespace kavrel::ui
