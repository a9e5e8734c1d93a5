#include "commands/ComposeSubject.h"

#include "base/Text.h"
#include "commands/UpFileCommands.h"
#include "reader/TitleRows.h"
#include "session/Session.h"

namespace kavrel::commands {

QString composeSubject(const Session &session)
{
    const MainWindowState &m = session.main;
    switch (session.reading.LastWrittenKind) {
    case ReaderMode::Mail:
    case ReaderMode::MailReply: {
        QStringList names;
        for (const QString &entry : upfile::recipientEntries(session.composing.Recipients))
            names << entry.trimmed();
        return QStringLiteral("宛先: ") + names.join(QStringLiteral("、"));
    }
    case ReaderMode::Response:
    case ReaderMode::MoveResponse: {
        const QString number = session.composing.ResponseRef.trimmed();
        QString subject = QStringLiteral("レス先: [") + number + u']';
        // The title of the row answered, when it is that article.
        const int row = session.composing.SavedTitleIndex;
        if (row >= 0 && row < m.rowCount()
            && reader::bracketText(m.Title.textWithOneBlank(row)).trimmed() == number)
            subject += u' ' + m.SubjectColumn.item(row).trimmed();
        return subject;
    }
    default:
        // A new article (or a rewrite) on the board shown.
        return QStringLiteral("書込先: ") + m.Board_List.selectedText().trimmed();
    }
}

} // namespace kavrel::commands
