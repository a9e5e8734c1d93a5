#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace kavrel::test {

// A real editor for the writing tests: a shell script, in a directory whose
// name has a blank, that saves a prepared text into the file it is given
// (its last argument). Each run takes the next queued text; with none queued
// it leaves the file as it is, like a user closing the editor unsaved.
class EditorScript
{
public:
    EditorScript();

    QString path() const { return m_path; }
    // Queues the bytes the next run saves.
    void willWrite(const QByteArray &bytes);
    void willWrite(const QString &cp932Text);
    void willWriteUtf8(const QString &text);
    // Makes every run pause a little, so that the wait can be observed.
    void setPause(bool on);

    int runs() const;
    // The arguments of the last run, one per entry.
    QStringList lastArguments() const;
    // The file's content when the last run started (empty when missing).
    QByteArray lastStartingBytes() const;
    bool lastStartedWithFile() const;

private:
    QTemporaryDir m_dir;
    QString m_base;
    QString m_path;
    int m_queued = 0;
};

} // namespace kavrel::test
