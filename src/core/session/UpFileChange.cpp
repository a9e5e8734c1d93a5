#include "session/UpFileChange.h"

#include "session/UpFile.h"

#include <QHash>
#include <QList>

namespace kavrel {

namespace {

struct Found
{
    const UpCommand *command = nullptr;
    int ordinal = 0; // among the commands Kavrel wrote, from 1
};

// The commands of after that before does not hold as often (compared by
// their text), in order.
QList<Found> commandsOnlyIn(const UpFile &after, const UpFile &before)
{
    QHash<QString, int> counts;
    for (const UpCommand &c : before.commands())
        ++counts[before.text().mid(c.start, c.length)];
    QList<Found> found;
    int ordinal = 0;
    for (const UpCommand &c : after.commands()) {
        if (c.kind != UpCommandKind::Other)
            ++ordinal;
        int &left = counts[after.text().mid(c.start, c.length)];
        if (left > 0)
            --left;
        else
            found.append({ &c, c.kind == UpCommandKind::Other ? 0 : ordinal });
    }
    return found;
}

// The command as its mark row names it: "書込 2" is the second write of its board.
QString label(const UpFile &up, const UpCommand &command)
{
    qint64 n = 0;
    for (const UpCommand &c : up.commands()) {
        if (c.kind == command.kind && (c.kind == UpCommandKind::Mail || c.board == command.board))
            ++n;
        if (&c == &command)
            break;
    }
    switch (command.kind) {
    case UpCommandKind::Write:
        return QStringLiteral("書込 %1").arg(n);
    case UpCommandKind::Response:
        return QStringLiteral("レス %1").arg(n);
    case UpCommandKind::Mail:
        return QStringLiteral("手紙 %1").arg(n);
    case UpCommandKind::ChatWrite:
        return QStringLiteral("チャット");
    case UpCommandKind::BatchMark:
        return QStringLiteral("一括マーク");
    case UpCommandKind::Other:
        break;
    }
    return QStringLiteral("手書きの部分");
}

} // namespace

QString describeUpFileChange(const QString &before, const QString &after)
{
    const UpFile was(before);
    const UpFile is(after);
    const QList<Found> added = commandsOnlyIn(is, was);
    const QList<Found> removed = commandsOnlyIn(was, is);
    if (added.size() == 1 && removed.isEmpty()) {
        const UpCommand &c = *added.first().command;
        return c.kind == UpCommandKind::BatchMark ? QStringLiteral("一括マークの設定")
                                                  : label(is, c) + QStringLiteral(" の保存");
    }
    if (removed.size() == 1 && added.isEmpty()) {
        const UpCommand &c = *removed.first().command;
        return c.kind == UpCommandKind::BatchMark ? QStringLiteral("一括マークの解除")
                                                  : label(was, c) + QStringLiteral(" の削除");
    }
    if (removed.size() == 1 && added.size() == 1)
        return label(was, *removed.first().command) + QStringLiteral(" の書き直し");
    return QStringLiteral("アップファイルの変更");
}

int firstCommandAdded(const QString &before, const QString &after)
{
    const UpFile is(after);
    for (const Found &f : commandsOnlyIn(is, UpFile(before))) {
        if (f.ordinal > 0)
            return f.ordinal;
    }
    return 0;
}

} // namespace kavrel
