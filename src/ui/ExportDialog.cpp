#include "ExportDialog.h"

#include "export/Exporters.h"
#include "session/Session.h"

#include <QFileDialog>
#include <QFileInfo>

namespace kavrel::ui {

void exportWithDialog(QWidget *parent, Session &session, bool thread)
{
    const MainWindowState &m = session.main;
    const int board = m.Board_List.ListIndex;
    const int row = thread ? m.Title.ListIndex : -1;
    if (board < 0 || (thread && row < 0)) {
        session.message(exporter::kNothingToExport, MsgButtons::Ok, MsgIcon::Information);
        return;
    }
    struct Choice
    {
        QString filter;
        QString suffix;
        exporter::Format format;
    };
    const Choice choices[] = {
        { QStringLiteral("テキスト (*.txt)"), QStringLiteral("txt"), exporter::Format::Text },
        { QStringLiteral("HTML (*.html *.htm)"), QStringLiteral("html"), exporter::Format::Html },
        { QStringLiteral("mbox (*.mbox)"), QStringLiteral("mbox"), exporter::Format::Mbox },
    };
    QStringList filters;
    for (const Choice &c : choices)
        filters << c.filter;
    QString selected = filters.first();
    QString path = QFileDialog::getSaveFileName(
        parent, QStringLiteral("エクスポート"), QString(), filters.join(QStringLiteral(";;")), &selected);
    if (path.isEmpty())
        return;
    const Choice *choice = &choices[0];
    for (const Choice &c : choices) {
        if (c.filter == selected)
            choice = &c;
    }
    if (QFileInfo(path).suffix().isEmpty())
        path += u'.' + choice->suffix;
    const QString problem = exporter::exportToFile(session, board, row, thread, choice->format, path);
    if (!problem.isEmpty())
        session.message(problem, MsgButtons::Ok, MsgIcon::Exclamation);
}

} // namespace kavrel::ui
