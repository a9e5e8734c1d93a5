#include "RawLogView.h"

#include "Fonts.h"
#include "WindowPlaces.h"
#include "WindowPrefs.h"

#include "reader/Reader.h"
#include "session/Session.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace kavrel::ui {

namespace {

const QColor kMarked(255, 243, 176);
const QColor kBoard(214, 230, 255);
const QColor kBoardText(0, 40, 140);
const QColor kMark(200, 60, 0);
constexpr int kMargin = 4;

} // namespace

RawLogLines::RawLogLines(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("RawLogLines"));
    setFont(fonts::listFont());
    m_lineHeight = std::max(1, QFontMetrics(font()).height() + 2);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
}

void RawLogLines::setFile(const rawlog::RawLogFile *file)
{
    m_file = file;
    m_current = -1;
    m_widest = 0;
    updateScrollBars();
    viewport()->update();
}

void RawLogLines::setMarked(const rawlog::ArticleLines &lines)
{
    m_marked = lines;
    viewport()->update();
}

qsizetype RawLogLines::topLine() const
{
    return verticalScrollBar()->value();
}

int RawLogLines::visibleLines() const
{
    return std::max(1, viewport()->height() / m_lineHeight);
}

void RawLogLines::setCurrentLine(qsizetype line, bool atTop)
{
    if (!m_file || m_file->lineCount() == 0)
        return;
    m_current = std::clamp<qsizetype>(line, 0, m_file->lineCount() - 1);
    QScrollBar *bar = verticalScrollBar();
    if (atTop)
        bar->setValue(int(std::max<qsizetype>(0, m_current - 1)));
    else if (m_current < topLine())
        bar->setValue(int(m_current));
    else if (m_current >= topLine() + visibleLines())
        bar->setValue(int(m_current - visibleLines() + 1));
    measureVisible();
    viewport()->update();
}

void RawLogLines::updateScrollBars()
{
    const qsizetype count = m_file ? m_file->lineCount() : 0;
    QScrollBar *v = verticalScrollBar();
    v->setRange(0, int(std::max<qsizetype>(0, count - visibleLines())));
    v->setPageStep(visibleLines());
    v->setSingleStep(1);
    measureVisible();
}

void RawLogLines::measureVisible()
{
    if (!m_file)
        return;
    const QFontMetrics metrics(font());
    const qsizetype top = topLine();
    const qsizetype end = std::min<qsizetype>(m_file->lineCount(), top + visibleLines() + 1);
    for (qsizetype i = top; i < end; ++i)
        m_widest = std::max(m_widest, metrics.horizontalAdvance(m_file->displayText(i)) + 2);
    QScrollBar *h = horizontalScrollBar();
    h->setRange(0, std::max(0, m_widest + 2 * kMargin - viewport()->width()));
    h->setPageStep(viewport()->width());
    h->setSingleStep(metrics.averageCharWidth() * 2);
}

void RawLogLines::scrollContentsBy(int, int)
{
    measureVisible();
    viewport()->update();
}

void RawLogLines::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void RawLogLines::paintEvent(QPaintEvent *)
{
    QPainter p(viewport());
    if (!m_file)
        return;
    const QFontMetrics metrics(font());
    QFont bold = font();
    bold.setBold(true);
    const int width = viewport()->width();
    const int x = kMargin - horizontalScrollBar()->value();
    const qsizetype top = topLine();
    const qsizetype end = std::min<qsizetype>(m_file->lineCount(), top + visibleLines() + 1);
    for (qsizetype i = top; i < end; ++i) {
        const QRect row(0, int(i - top) * m_lineHeight, width, m_lineHeight);
        const bool board = m_file->isBoardLine(i);
        if (m_marked.contains(i))
            p.fillRect(row, kMarked);
        else if (board)
            p.fillRect(row, kBoard);
        if (i == m_current) {
            p.setPen(palette().color(QPalette::Highlight));
            p.drawRect(row.adjusted(0, 0, -1, -1));
        }
        // Marks (line ends, control characters, bytes that are no
        // Shift-JIS) in their own colour, the log's text in the list's.
        p.setFont(board ? bold : font());
        const QFontMetrics lineMetrics(p.font());
        int at = x;
        for (const rawlog::DisplayPiece &piece : m_file->displayPieces(i)) {
            const int w = lineMetrics.horizontalAdvance(piece.text);
            if (at + w > 0 && at < width) {
                p.setPen(piece.marker ? kMark : board ? kBoardText : palette().color(QPalette::Text));
                p.drawText(QRect(at, row.top(), w + 2, m_lineHeight),
                    Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, piece.text);
            }
            at += w;
        }
    }
}

void RawLogLines::keyPressEvent(QKeyEvent *event)
{
    if (!m_file || m_file->lineCount() == 0) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const qsizetype current = m_current < 0 ? topLine() : m_current;
    switch (event->key()) {
    case Qt::Key_Up:
        setCurrentLine(current - 1);
        break;
    case Qt::Key_Down:
        setCurrentLine(current + 1);
        break;
    case Qt::Key_PageUp:
        setCurrentLine(current - visibleLines());
        break;
    case Qt::Key_PageDown:
        setCurrentLine(current + visibleLines());
        break;
    case Qt::Key_Home:
        setCurrentLine(0);
        break;
    case Qt::Key_End:
        setCurrentLine(m_file->lineCount() - 1);
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void RawLogLines::mousePressEvent(QMouseEvent *event)
{
    if (m_file && event->button() == Qt::LeftButton) {
        const qsizetype line = topLine() + event->position().toPoint().y() / m_lineHeight;
        if (line < m_file->lineCount())
            setCurrentLine(line);
    }
    QAbstractScrollArea::mousePressEvent(event);
}

RawLogView::RawLogView(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("RawLog"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    resize(720, 520);
    places::placeOver(this, parent, prefs::kRawLogGeometry);

    m_lines = new RawLogLines(this);
    m_findBar = new QWidget(this);
    m_findBar->setObjectName(QStringLiteral("RawLogFindBar"));
    m_findField = new QLineEdit(m_findBar);
    m_findField->setObjectName(QStringLiteral("RawLogFind"));
    auto *next = new QPushButton(QStringLiteral("次を検索"), m_findBar);
    next->setObjectName(QStringLiteral("RawLogFindNext"));
    auto *previous = new QPushButton(QStringLiteral("前を検索"), m_findBar);
    previous->setObjectName(QStringLiteral("RawLogFindPrevious"));
    m_findStatus = new QLabel(m_findBar);
    auto *bar = new QHBoxLayout(m_findBar);
    bar->setContentsMargins(4, 2, 4, 2);
    bar->addWidget(new QLabel(QStringLiteral("検索:"), m_findBar));
    bar->addWidget(m_findField, 1);
    bar->addWidget(next);
    bar->addWidget(previous);
    bar->addWidget(m_findStatus);
    m_findBar->hide();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_lines, 1);
    layout->addWidget(m_findBar);

    m_findField->installEventFilter(this);
    connect(next, &QPushButton::clicked, this, [this] { findNext(true); });
    connect(previous, &QPushButton::clicked, this, [this] { findNext(false); });
}

bool RawLogView::showLog(const QString &path, fileio::FileError *error)
{
    m_lines->setFile(nullptr);
    if (!m_file.open(path, error))
        return false;
    setWindowTitle(QStringLiteral("ログで表示[") + path + u']');
    m_lines->setFile(&m_file);
    markArticle({});
    m_findStatus->clear();
    return true;
}

void RawLogView::markArticle(const rawlog::ArticleLines &article)
{
    m_lines->setMarked(article);
    m_lines->setCurrentLine(std::max<qsizetype>(article.first, 0), true);
}

RawLogView *RawLogView::showFor(QWidget *mainWindow, Session &session, const reader::Reader &reader)
{
    if (session.log.LogPath.trimmed().isEmpty())
        return nullptr;
    auto *view = mainWindow->findChild<RawLogView *>(QStringLiteral("RawLog"), Qt::FindDirectChildrenOnly);
    if (!view)
        view = new RawLogView(mainWindow);
    fileio::FileError error;
    if (!view->showLog(session.log.LogPath, &error)) {
        session.message(error.toString(), MsgButtons::Ok, MsgIcon::Exclamation);
        return nullptr;
    }
    view->markArticle(
        view->file().locate(session.log.LogText, reader.shownArticleStart(), session.main.Article.items));
    view->show();
    view->raise();
    view->activateWindow();
    view->m_lines->setFocus();
    return view;
}

void RawLogView::openFind()
{
    m_findBar->show();
    m_findField->setFocus();
    m_findField->selectAll();
}

bool RawLogView::findNext(bool forward)
{
    const qsizetype line = m_file.find(m_findField->text(), m_lines->currentLine(), forward);
    if (line < 0) {
        m_findStatus->setText(QStringLiteral("見つかりません"));
        return false;
    }
    m_findStatus->clear();
    m_lines->setCurrentLine(line);
    return true;
}

void RawLogView::hideEvent(QHideEvent *event)
{
    places::keep(this, prefs::kRawLogGeometry);
    QWidget::hideEvent(event);
}

void RawLogView::closeEvent(QCloseEvent *event)
{
    // A closed view lets go of the file; L maps it again.
    m_lines->setFile(nullptr);
    m_file.close();
    QWidget::closeEvent(event);
}

bool RawLogView::eventFilter(QObject *watched, QEvent *event)
{
    // Enter searches on, Shift+Enter back.
    if (watched == m_findField && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            findNext(!(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool RawLogView::event(QEvent *event)
{
    // The main window's Ctrl+F (全ログ検索) must not take the view's own find.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Find) || key->matches(QKeySequence::FindNext)
            || key->matches(QKeySequence::FindPrevious)) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void RawLogView::keyPressEvent(QKeyEvent *event)
{
    // Keys the lines and the find field leave alone come here.
    if (event->matches(QKeySequence::Find)) {
        openFind();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::FindNext) || event->matches(QKeySequence::FindPrevious)) {
        findNext(event->matches(QKeySequence::FindNext));
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        if (m_findBar->isVisible()) {
            m_findBar->hide();
            m_lines->setFocus();
        } else {
            close();
        }
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace kavrel::ui
