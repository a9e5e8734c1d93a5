#pragma once

#include <QString>

// The program's own editor works on TEMP.TXT as the user's editor would: it
// reads the file, lets the user change the text and writes it back whole in
// Shift-JIS with CR LF line ends.
namespace kavrel::commands::builtinedit {

// The text of the file for editing, with "\n" line ends. A missing file is
// an empty text. False with error ("path: reason") when it cannot be read.
bool load(const QString &path, QString *text, QString *error);

// Writes the edited text ("\n" line ends) as the whole new file. A text with
// characters that Shift-JIS cannot hold is not written: message names them.
// A failing write changes nothing and message names the file and the reason.
bool save(const QString &path, const QString &text, QString *message);

// The question asked before edits are thrown away.
inline const QString kDiscardQuestion = QStringLiteral("編集した内容を破棄しますか？");

} // namespace kavrel::commands::builtinedit
