#pragma once

#include "base/FileIo.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace kavrel {

// One kept state of an up file: its bytes (none when there was no file), when
// it came to be and what made it.
struct UpFileGeneration
{
    enum class Origin {
        Kavrel, // a change Kavrel saved
        Outside, // the file as Kavrel found it after another program changed it
        Start, // the file as it was when its history began
    };
    qint64 number = 0;
    QDateTime time;
    QString change;
    Origin origin = Origin::Kavrel;
    std::optional<QByteArray> bytes;
    // Cut short, changed or not Kavrel's: it is listed, never restored.
    bool damaged = false;

    qint64 size() const { return bytes ? bytes->size() : 0; }
};

// The undo history of one up file, kept beside it in
// ".kavrel-history/<up file name>/": one file per generation, each with a
// header (time, change, length and a checksum) and the file's exact bytes,
// written atomically, and "current", the generation the up file holds. The
// generations run oldest first; undo steps back, redo forward, and a new
// change gives up the generations undone before it.
class UpFileHistory
{
public:
    static constexpr int kMaxGenerations = 50;

    explicit UpFileHistory(const QString &upFilePath);
    const QString &folder() const { return m_folder; }

    // Reads every generation; a missing folder is an empty history.
    bool read(fileio::FileError *error = nullptr);
    const QList<UpFileGeneration> &generations() const { return m_generations; }
    const UpFileGeneration *find(qint64 number) const;
    // The generation the up file holds as far as Kavrel knows; nullptr when
    // the history is empty.
    const UpFileGeneration *current() const;
    // The nearest readable generation before (after) the current one, or
    // nullptr; the damaged ones passed over are added to skipped.
    const UpFileGeneration *previous(QList<qint64> *skipped = nullptr) const;
    const UpFileGeneration *next(QList<qint64> *skipped = nullptr) const;

    // Makes the file as found (no bytes: no file) the current generation:
    // unless the current one holds exactly these bytes it is kept as one of
    // its own, a change made outside Kavrel (or the start of the history).
    bool keepFound(
        const std::optional<QByteArray> &found, const QDateTime &time, fileio::FileError *error = nullptr);
    // A change Kavrel saved: the generations undone are given up, bytes
    // become the newest generation, and the oldest beyond the limit go.
    bool add(const std::optional<QByteArray> &bytes, const QString &change, const QDateTime &time,
        fileio::FileError *error = nullptr);
    // The up file now holds the generation number (a restore wrote it).
    bool setCurrent(qint64 number, fileio::FileError *error = nullptr);

    // How many commands restoring the generation would bring back that a
    // change outside Kavrel took out of the up file after it: the terminal
    // program sent them.
    int sentCommandsBroughtBack(qint64 number) const;

private:
    int indexOf(qint64 number) const;
    int currentIndex() const;
    bool append(UpFileGeneration generation, fileio::FileError *error);
    bool removeFrom(int index, fileio::FileError *error);
    bool removeOldest(fileio::FileError *error);
    QString generationPath(qint64 number) const;

    QString m_folder;
    QList<UpFileGeneration> m_generations;
    qint64 m_current = 0;
};

} // namespace kavrel
