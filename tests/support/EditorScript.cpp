#include "EditorScript.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>

namespace kavrel::test {

EditorScript::EditorScript()
{
    m_base = m_dir.path() + QStringLiteral("/my editor");
    QDir().mkpath(m_base + QStringLiteral("/queue"));
    m_path = m_base + QStringLiteral("/edit it.sh");
    const QString script = QStringLiteral(
        "#!/bin/sh\n"
        "d='%1'\n"
        "for a in \"$@\"; do last=\"$a\"; done\n"
        "printf '%s\\n' \"$@\" > \"$d/args\"\n"
        "echo run >> \"$d/runs\"\n"
        "if [ -f \"$last\" ]; then cp \"$last\" \"$d/started\"; else rm -f \"$d/started\"; fi\n"
        "if [ -f \"$d/pause\" ]; then sleep 0.3; fi\n"
        "next=$(ls \"$d/queue\" | sort | head -n 1)\n"
        "if [ -n \"$next\" ]; then cat \"$d/queue/$next\" > \"$last\"; rm -f \"$d/queue/$next\"; fi\n"
        "exit 0\n")
                               .arg(m_base);
    writeFile(m_path, script.toUtf8());
    QFile::setPermissions(m_path, QFile::permissions(m_path) | QFileDevice::ExeOwner | QFileDevice::ExeUser);
}

void EditorScript::willWrite(const QByteArray &bytes)
{
    ++m_queued;
    writeFile(m_base + QStringLiteral("/queue/%1").arg(m_queued, 4, 10, QLatin1Char('0')), bytes);
}

void EditorScript::willWrite(const QString &cp932Text)
{
    willWrite(sjis(cp932Text));
}

void EditorScript::willWriteUtf8(const QString &text)
{
    willWrite(text.toUtf8());
}

void EditorScript::setPause(bool on)
{
    if (on)
        writeFile(m_base + QStringLiteral("/pause"), "1");
    else
        QFile::remove(m_base + QStringLiteral("/pause"));
}

int EditorScript::runs() const
{
    return int(readFile(m_base + QStringLiteral("/runs")).count('\n'));
}

QStringList EditorScript::lastArguments() const
{
    QString args = QString::fromUtf8(readFile(m_base + QStringLiteral("/args")));
    if (args.endsWith(u'\n'))
        args.chop(1);
    return args.split(u'\n');
}

QByteArray EditorScript::lastStartingBytes() const
{
    return readFile(m_base + QStringLiteral("/started"));
}

bool EditorScript::lastStartedWithFile() const
{
    return QFile::exists(m_base + QStringLiteral("/started"));
}

} // namespace kavrel::test
