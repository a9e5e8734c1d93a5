#include "ExportDialog.h"

#include "JapaneseQt.h"
#include "WindowPrefs.h"

#include "export/Exporters.h"
#include "program/SessionExport.h"
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
    const exporter::ExportSource source = exportSourceOf(session);
    const Choice choices[] = {
        { QStringLiteral("テキスト (*.txt)"), QStringLiteral("txt"), exporter::Format::Text },
        { QStringLiteral("HTML (*.html *.htm)"), QStringLiteral("html"), exporter::Format::Html },
        { QStringLiteral("mbox (*.mbox)"), QStringLiteral("mbox"), exporter::Format::Mbox },
    };
    QStringList filters;
    for (const Choice &c : choices)
        filters << c.filter;
    // The folder and the format of the last export are offered again.
    const auto settings = prefs::open();
    const Choice *choice = &choices[0];
    const QString lastFormat = settings->value(prefs::kExportFormat).toString();
    for (const Choice &c : choices) {
        if (c.suffix == lastFormat)
            choice = &c;
    }
    QFileDialog dialog(
        parent, QStringLiteral("エクスポート"), settings->value(prefs::kExportFolder).toString());
    makeJapanese(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(choice->filter);
    dialog.selectFile(exporter::suggestedFileName(source, board, choice->format));
    // Another format changes the suffix of the suggested name.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString &filter) {
        for (const Choice &c : choices) {
            if (c.filter == filter)
                dialog.selectFile(exporter::suggestedFileName(source, board, c.format));
        }
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    QString path = dialog.selectedFiles().first();
    for (const Choice &c : choices) {
        if (c.filter == dialog.selectedNameFilter())
            choice = &c;
    }
    settings->setValue(prefs::kExportFolder, QFileInfo(path).absolutePath());
    settings->setValue(prefs::kExportFormat, choice->suffix);
    if (QFileInfo(path).suffix().isEmpty())
        path += u'.' + choice->suffix;
    const QString problem = exporter::exportToFile(source, board, row, thread, choice->format, path);
    if (!problem.isEmpty())
        session.message(problem, MsgButtons::Ok, MsgIcon::Exclamation);
}

} // namespace kavrel::ui
