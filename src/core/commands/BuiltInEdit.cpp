#include "commands/BuiltInEdit.h"

#include "base/Cp932.h"
#include "base/FileIo.h"
#include "base/Text.h"
#include "commands/TempFile.h"

#include <QStringList>

namespace kavrel::commands::builtinedit {

bool load(const QString &path, QString *text, QString *error)
{
    QByteArray bytes;
    fileio::FileError fileError;
    if (!fileio::readAll(path, &bytes, &fileError, true)) {
        if (error)
            *error = fileError.toString();
        return false;
    }
    // Read as the user's editors are understood: Shift-JIS, or UTF-8.
    QString read = tempfile::decodeEdited(bytes);
    read.replace(CRLF, QStringLiteral("\n"));
    *text = read;
    return true;
}

bool save(const QString &path, const QString &text, QString *message)
{
    const QString missing = cp932::unencodable(text);
    if (!missing.isEmpty()) {
        QStringList named;
        for (const char32_t c : missing.toUcs4())
            named << QStringLiteral("「") + QString::fromUcs4(&c, 1) + QStringLiteral("」(U+")
                    + QString::number(uint(c), 16).toUpper().rightJustified(4, u'0') + u')';
        if (message)
            *message = QStringLiteral("Shift-JISで保存できない文字があるため、保存しませんでした。") + CRLF
                + named.join(QStringLiteral("、")) + CRLF + CRLF
                + QStringLiteral("これらの文字を書き換えて下さい。");
        return false;
    }
    QString crlf = text;
    crlf.replace(CRLF, QStringLiteral("\n"));
    crlf.replace(u'\n', CRLF);
    fileio::FileError fileError;
    if (!fileio::writeAtomic(path, cp932::encode(crlf), &fileError)) {
        if (message)
            *message = QStringLiteral("保存できませんでした。") + CRLF + fileError.toString();
        return false;
    }
    return true;
}

} // namespace kavrel::commands::builtinedit
