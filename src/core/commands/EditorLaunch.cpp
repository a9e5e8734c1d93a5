#include "commands/EditorLaunch.h"

#include "base/Text.h"
#include "commands/ProcessEditor.h"
#include "commands/TempFile.h"
#include "session/Session.h"

namespace kavrel::commands {

bool LaunchEditor(Session &session)
{
    ProcessEditor fallback;
    EditorHost *editor = session.editor ? session.editor : &fallback;
    EditorHost *builtIn = session.builtInEditor;
    const QString editorPath = text::trimTrailingBlanks(session.Dir[settings::DirRecord::Editor_Path]);
    const QString file = tempfile::path(session);

    // Without an editor of the user's own, the program's editor writes the text.
    const bool useBuiltIn = builtIn && editorPath.trimmed().isEmpty();
    session.main.visible = false;
    QString error;
    bool ok = (useBuiltIn ? builtIn : editor)->edit(editorPath, file, &error);
    session.main.visible = true;
    if (ok)
        return true;

    const QString failure = QStringLiteral("エディタを起動できませんでした。") + CRLF
        + QStringLiteral("エディタ: ") + editorPath + CRLF + QStringLiteral("理由: ") + error + CRLF + CRLF;
    if (builtIn && !useBuiltIn) {
        if (session.message(
                failure + QStringLiteral("内蔵エディタで書きますか？"), MsgButtons::YesNo, MsgIcon::Question)
            != MsgAnswer::Yes)
            return false;
        session.main.visible = false;
        ok = builtIn->edit(QString(), file, &error);
        session.main.visible = true;
        if (ok)
            return true;
    }
    session.message(failure
            + QStringLiteral(
                "書き込みは行われていません。ディレクトリ設定でエディタのパスを確かめて下さい。"),
        MsgButtons::Ok, MsgIcon::Critical);
    return false;
}

} // namespace kavrel::commands
