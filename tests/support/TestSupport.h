#pragma once

#include "base/MessageHost.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

namespace kavrel::test {

// A message host that records every box shown and answers from a script.
// When the script runs out it answers Ok / Cancel / No, as a user closing the
// box would.
class ScriptedMessages : public MessageHost
{
public:
    struct Shown
    {
        QString text;
        MsgButtons buttons;
        MsgIcon icon;
        MsgAnswer defaultAnswer = MsgAnswer::Ok; // the button Return presses
    };

    QList<MsgAnswer> answers;
    QList<Shown> shown;
    // Called as each message is shown, before it is answered.
    std::function<void()> onShow;

    MsgAnswer show(const QString &text, MsgButtons buttons, MsgIcon icon, MsgAnswer defaultAnswer) override;
    QStringList texts() const;
};

// Bytes of a text in CP932 (for fixtures written as the host prints them).
QByteArray sjis(const QString &text);

// Writes bytes to dir/name, creating folders; fails the test on error.
void writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);

// Copies the bundled demo (KAVREL_SOURCE_DIR/demo) into dir, hidden files
// included, and gives its two logs of かぶらネット the times a user's capture
// would have (a checkout keeps none): the older log must look older.
bool copyDemo(const QString &dir);

// Joins lines with CR LF, each line ending in CR LF.
QString crlfLines(const QStringList &lines);

// kavrel-cli run as a script runs it: on the working directory dir, with
// its exit code and both outputs. A fileSizeLimit of 0 or more is a full disk
// for the child alone (see FileSizeLimit).
struct CliRun
{
    int code = -1;
    QString out;
    QString err;
    QStringList lines() const { return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
};
CliRun runCli(const QString &dir, const QStringList &args, qint64 fileSizeLimit = -1);

// A full disk, as far as this process can tell: while it lives, files grow to
// at most the given size, and a write beyond fails (SIGXFSZ is ignored).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    qint64 m_oldLimit = 0;
    void (*m_oldHandler)(int) = nullptr;
};

} // namespace kavrel::test
