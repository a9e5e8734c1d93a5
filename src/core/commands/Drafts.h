#pragma once

#include "commands/UpFileWriter.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

namespace kavrel {
class Session;
}

namespace kavrel::commands {

// What a draft was being written as, for the user.
enum class DraftKind { Write, Response, MoveResponse, Mail, Rewrite };

// The text of a command being written, kept so that it outlives a crash,
// with everything needed to store it as the command would have stored it.
struct Draft
{
    DraftKind kind = DraftKind::Write;
    // The command the text becomes (its kind Write, Response or Mail).
    ComposeTarget target;
    QString netName;
    // The board as the board list names it ("No.3 パソコン相談室").
    QString boardName;
    // The waiting command a rewrite replaces, as it stands in the up file.
    QString replaces;
    QDateTime started;
    // The file an editor of the user's own writes; the text is read from it
    // while hasText is false.
    QString editedFile;
    bool hasText = false;
    QString text; // CR LF line ends

    // Where the record lies; set when it is written or read.
    QString file;
    // Why a record cannot be read; empty for a readable one. Its bytes are
    // then in raw.
    QString unreadable;
    QByteArray raw;

    // The question that offers it again.
    QString offerQuestion() const;
};

// The records of drafts, one file each in a folder of Kavrel's own. A record
// is written whole and atomically, so a crash leaves the old or the new one.
// The draft of the command being written is the current one. A folder that
// cannot be written is said once, and writing goes on without drafts.
class Drafts
{
public:
    explicit Drafts(Session &session);

    // An empty folder keeps no drafts.
    void setFolder(const QString &folder) { m_folder = folder; }
    QString folder() const { return m_folder; }

    // The record as written, and read back; a record that cannot be read
    // comes back with the reason in unreadable.
    static QByteArray encode(const Draft &draft);
    static Draft decode(const QByteArray &bytes);

    // Writes the current draft's record before its editor starts.
    void begin(const Draft &draft);
    // Makes a draft read from the folder the current one again.
    void resume(const Draft &draft) { m_current = draft; }
    bool hasCurrent() const { return !m_current.file.isEmpty(); }
    // Keeps text as the current draft's text. False when it could not be kept.
    bool keepText(const QString &text);
    // The command was stored or given up: its record goes.
    void end();

    // The drafts of a net and the records that cannot be read, the newest first.
    QList<Draft> offered(const QString &netName) const;
    bool remove(const Draft &draft);

    // At start-up, before the editor's file is deleted: drafts whose text is
    // in that file take it into their records.
    void takeInEditedFile(const QString &path);

private:
    bool write(Draft &draft);
    void sayNotKept(const QString &reason);

    Session &m_session;
    QString m_folder;
    Draft m_current;
    bool m_said = false;
};

} // namespace kavrel::commands
