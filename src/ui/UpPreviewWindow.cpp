#include "UpPreviewWindow.h"

#include "Fonts.h"
#include "ProgramCommands.h"
#include "program/Program.h"

#include "commands/UpFilePreview.h"
#include "fulltext/UpFileFacts.h"
#include "program/WaitingCommandKeys.h"
#include "session/Session.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace kavrel::ui {

UpPreviewWindow::UpPreviewWindow(ProgramCommands &program, QWidget *parent)
    : QDialog(parent)
    , m_program(program)
{
    setObjectName(QStringLiteral("Up_Preview"));
    setWindowTitle(kCaption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_rows = new QTableWidget(0, 8, this);
    m_rows->setObjectName(QStringLiteral("Up_Preview_Rows"));
    m_rows->setHorizontalHeaderLabels({ QStringLiteral("番号"), QStringLiteral("種類"),
        QStringLiteral("ボード"), QStringLiteral("参照・宛先"), QStringLiteral("タイトル"),
        QStringLiteral("バイト"), QStringLiteral("先頭の行"), QStringLiteral("警告") });
    m_rows->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_rows->setSelectionMode(QAbstractItemView::SingleSelection);
    m_rows->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_rows->setWordWrap(false); // one line a command; each cell shows all of itself as a tooltip
    m_rows->verticalHeader()->hide();
    m_rows->horizontalHeader()->setStretchLastSection(true);

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("Up_Preview_Text"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(fonts::listFont());

    m_status = new QLabel(this);
    auto *split = new QSplitter(Qt::Vertical, this);
    split->addWidget(m_rows);
    split->addWidget(m_text);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(split);
    layout->addWidget(m_status);
    connect(m_rows, &QTableWidget::itemSelectionChanged, this, &UpPreviewWindow::showChosen);
    // The up file may change while the window is open (the main window's
    // undo, a write): the rows follow it.
    connect(&program.session().main.changes(), &ChangeSignal::changed, this, [this] {
        if (isVisible() && m_program.session().upFile.text() != m_shownUpFile)
            reload();
    });
    m_rows->installEventFilter(this);
    resize(900, 600);
}

UpPreviewWindow *UpPreviewWindow::showFor(ProgramCommands &program, QWidget *mainWindow)
{
    auto *window = mainWindow->findChild<UpPreviewWindow *>(QStringLiteral("Up_Preview"));
    if (!window)
        window = new UpPreviewWindow(program, mainWindow);
    window->reload();
    window->show();
    window->raise();
    window->activateWindow();
    window->m_rows->setFocus();
    return window;
}

void UpPreviewWindow::reload()
{
    QString error;
    const Session &session = m_program.session();
    const QList<commands::preview::Row> rows = fulltext::previewOfNet(
        commands::preview::netFilesOf(session), UpFile(session.upFile.text()), &error);
    m_shownUpFile = session.upFile.text();
    m_rows->setRowCount(int(rows.size()));
    m_texts.clear();
    for (int i = 0; i < rows.size(); ++i) {
        const QStringList cells = commands::preview::shownCells(rows.at(i));
        for (int c = 0; c < cells.size(); ++c) {
            auto *item = new QTableWidgetItem(cells.at(c));
            item->setToolTip(cells.at(c));
            m_rows->setItem(i, c, item);
        }
        m_texts << commands::preview::shownText(rows.at(i));
    }
    m_rows->resizeColumnsToContents();
    // A long title or first line gives way to the warnings.
    const int widest = qMax(120, m_rows->viewport()->width() / 4);
    for (const int column : { 4, 6 }) {
        if (m_rows->columnWidth(column) > widest)
            m_rows->setColumnWidth(column, widest);
    }
    m_status->setText(rows.isEmpty() ? QStringLiteral("送信予定の書き込みはありません")
                                     : QStringLiteral("%1 件").arg(rows.size())
                + (error.isEmpty() ? QString() : QStringLiteral("（索引を使えません: ") + error + u'）'));
    // Row 0 may have been the chosen row before: no selection change would
    // show its text again.
    if (!rows.isEmpty())
        m_rows->selectRow(0);
    showChosen();
}

void UpPreviewWindow::showChosen()
{
    const int row = m_rows->currentRow();
    if (row < 0 || row >= m_texts.size()) {
        m_text->clear();
        return;
    }
    m_text->setPlainText(m_texts.at(row));
}

bool UpPreviewWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_rows && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers held = key->modifiers() & ~Qt::KeypadModifier;
        if (held == Qt::NoModifier && (key->key() == Qt::Key_E || key->key() == Qt::Key_D)) {
            runOnChosen(key->key() == Qt::Key_E ? ReaderCommand::Rewrite : ReaderCommand::Delete);
            return true;
        }
        // Ctrl+Z undoes the up file's last change here too, and Ctrl+Y redoes it.
        if (held == Qt::ControlModifier && (key->key() == Qt::Key_Z || key->key() == Qt::Key_Y)) {
            const ReaderCommand command = key->key() == Qt::Key_Z ? ReaderCommand::Undo : ReaderCommand::Redo;
            m_program.forward([this, command] { m_program.titleCommand(command); });
            reload();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void UpPreviewWindow::runOnChosen(ReaderCommand command)
{
    const int row = m_rows->currentRow();
    if (row < 0)
        return;
    m_program.forward([this, row, command] { runOnWaitingCommand(m_program.core(), row + 1, command); });
    reload();
    m_rows->selectRow(std::min(row, m_rows->rowCount() - 1));
    showChosen();
}

} // namespace kavrel::ui
