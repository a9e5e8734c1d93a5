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
    const QString editorPath = text::trimTrailingBlanks(session.Dir[settings::DirRecord::Editor_Path]);

    session.main.visible = false;
    QString error;
    const bool ok = editor->edit(editorPath, tempfile::path(session), &error);
    session.main.visible = true;

    if (!ok) {
        session.message(QStringLiteral("エディタを起動できませんでした。\r\n") + QStringLiteral("エディタ: ")
                + editorPath + QStringLiteral("\r\n") + QStringLiteral("理由: ") + error
                + QStringLiteral("\r\n\r\n")
                + QStringLiteral(
                    "書き込みは行われていません。ディレクトリ設定でエディタのパスを確かめて下さい。"),
            MsgButtons::Ok, MsgIcon::Critical);
    }
    return ok;
}

} // namespace kavrel::commands
