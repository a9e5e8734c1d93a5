#pragma once

#include "base/FileIo.h"

#include <QByteArray>
#include <QString>

#include <QDateTime>

#include <functional>
#include <optional>

namespace kavrel {

// The current net's up file: the text of the commands waiting to be sent, held
// in one place. The compose commands, the batch mark and the net selection
// change it only through append, cut and replace, and it reaches the file only
// through save (or discard), so the file is rewritten only when its text
// changed, and the generation it replaces, kept as ".bak", is always the one
// before. Every change is kept in the file's undo history (UpFileHistory) as
// well, and restore brings back a kept generation. The reader's mark rows
// read the text.
class UpFileStore
{
public:
    inline static const QString kBackupSuffix = QStringLiteral(".bak");

    const QString &text() const { return m_text; }
    bool isEmpty() const { return m_text.isEmpty(); }
    // Whether the text differs from the file as it was read or last written.
    bool changedSinceSaved() const { return m_text != m_saved; }

    // The text as read from the net's file, or an empty one for a net without
    // a file: there is nothing to save.
    void load(const QString &text);
    void append(const QString &commands);
    // Removes length characters from start (0-based).
    void cut(qsizetype start, qsizetype length);
    void replace(const QString &text);

    enum class WhenEmpty { WriteEmptyFile, RemoveFile };
    // Writes the text to path, whole and atomically, when it changed since it
    // was read or last written; the file it replaces is kept as path + ".bak".
    // With RemoveFile an empty text removes the file instead (keeping the
    // ".bak"). On failure the file stays as it was, the text stays unsaved,
    // and error and failed say what failed.
    bool save(const QString &path, WhenEmpty whenEmpty, fileio::FileError *error = nullptr,
        fileio::FileAccess *failed = nullptr);
    // Gives up the file's commands: the file is kept as ".bak" and removed,
    // and the text is empty.
    bool discard(
        const QString &path, fileio::FileError *error = nullptr, fileio::FileAccess *failed = nullptr);

    // Writes the kept generation number of the file's history to path, as
    // save writes (the file it replaces kept as ".bak", and in the history,
    // so the restore can be undone), and takes it as the text. On failure
    // nothing changed, and error and failed say what failed.
    bool restore(const QString &path, qint64 number, fileio::FileError *error = nullptr,
        fileio::FileAccess *failed = nullptr);
    // The file as read from path, kept in its history as a generation of
    // its own when another program changed it since Kavrel last saw it.
    // False (with error) when the history could not keep it.
    bool keepFound(const QString &path, fileio::FileError *error = nullptr) const;
    // Set by the last save, discard or restore that wrote the file but
    // could not keep it in the history: that change cannot be undone.
    const std::optional<fileio::FileError> &historyError() const { return m_historyError; }

    // The text of the up file's bytes: cut at the first NUL character.
    static QString textOf(const QByteArray &bytes);
    // The time the history gives a generation; the system clock when empty.
    std::function<QDateTime()> clock;

private:
    // What a change does to the history: a new generation named by change,
    // or the move to a kept generation (restoring, when not 0).
    struct HistoryChange
    {
        QString change;
        qint64 restoring = 0;
    };
    // The one place the file changes: its previous bytes become the ".bak",
    // then newBytes replace them (no bytes: the file is removed), and the
    // history keeps both.
    bool replaceFile(const QString &path, const std::optional<QByteArray> &newBytes,
        const HistoryChange &step, fileio::FileError *error, fileio::FileAccess *failed);
    QDateTime now() const;

    QString m_text;
    // The text as the file holds it: read or last written.
    QString m_saved;
    std::optional<fileio::FileError> m_historyError;
};

} // namespace kavrel
