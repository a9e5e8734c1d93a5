#include "commands/Drafts.h"

#include "base/FileIo.h"
#include "base/Text.h"
#include "commands/TempFile.h"
#include "session/Session.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace kavrel::commands {

namespace {

const QByteArray kMagic = "Kavrel draft ";
constexpr int kVersion = 1;
const QString kSuffix = QStringLiteral(".draft");

struct KindName
{
    DraftKind kind;
    const char *key;
    const char16_t *shown;
};
constexpr KindName kKinds[] = {
    { DraftKind::Write, "write", u"書込" },
    { DraftKind::Response, "response", u"レス" },
    { DraftKind::MoveResponse, "move-response", u"移動レス" },
    { DraftKind::Mail, "mail", u"手紙" },
    { DraftKind::Rewrite, "rewrite", u"書き直し" },
};

struct StoreName
{
    ReaderMode kind;
    const char *key;
};
constexpr StoreName kStores[] = {
    { ReaderMode::Write, "write" },
    { ReaderMode::Response, "response" },
    { ReaderMode::Mail, "mail" },
};

QByteArray field(const char *name, const QString &value)
{
    return QByteArray(name) + '=' + value.toUtf8().toPercentEncoding() + '\n';
}

Draft unreadable(const QByteArray &bytes, const QString &reason)
{
    Draft draft;
    draft.unreadable = reason;
    draft.raw = bytes;
    return draft;
}

} // namespace

QString Draft::offerQuestion() const
{
    QString shown;
    for (const KindName &k : kKinds) {
        if (k.kind == kind)
            shown = QString::fromUtf16(k.shown);
    }
    return QStringLiteral("書きかけの文章があります（%1, %2, %3）。続けて書きますか？")
        .arg(shown, boardName, started.toString(QStringLiteral("MM/dd HH:mm")));
}

Drafts::Drafts(Session &session)
    : m_session(session)
{
}

QByteArray Drafts::encode(const Draft &draft)
{
    QByteArray out = kMagic + QByteArray::number(kVersion) + '\n';
    for (const KindName &k : kKinds) {
        if (k.kind == draft.kind)
            out += field("kind", QString::fromLatin1(k.key));
    }
    for (const StoreName &s : kStores) {
        if (s.kind == draft.target.kind)
            out += field("store", QString::fromLatin1(s.key));
    }
    out += field("net", draft.netName);
    out += field("board", QString::number(draft.target.board));
    out += field("chat", draft.target.chat ? QStringLiteral("1") : QStringLiteral("0"));
    out += field("board-name", draft.boardName);
    out += field("reference", draft.target.reference);
    out += field("recipients", draft.target.recipients);
    out += field("rewrite", draft.target.rewrite ? QStringLiteral("1") : QStringLiteral("0"));
    out += field("replaces", draft.replaces);
    out += field("started", draft.started.toString(Qt::ISODate));
    out += field("edited-file", draft.editedFile);
    if (draft.hasText) {
        const QByteArray text = draft.text.toUtf8();
        out += "text=" + QByteArray::number(text.size()) + '\n' + text + '\n';
    }
    out += "end\n";
    return out;
}

Draft Drafts::decode(const QByteArray &bytes)
{
    if (!bytes.startsWith(kMagic))
        return unreadable(bytes, QStringLiteral("Kavrelの下書きではありません"));
    Draft draft;
    bool kindKnown = false;
    bool storeKnown = false;
    bool ended = false;
    qsizetype p = 0;
    bool first = true;
    while (p < bytes.size()) {
        const qsizetype e = bytes.indexOf('\n', p);
        if (e < 0)
            break;
        const QByteArray line = bytes.mid(p, e - p);
        p = e + 1;
        if (first) {
            first = false;
            bool ok = false;
            const int version = line.mid(kMagic.size()).toInt(&ok);
            if (!ok)
                return unreadable(bytes, QStringLiteral("Kavrelの下書きではありません"));
            if (version > kVersion)
                return unreadable(bytes, QStringLiteral("新しい版のKavrelの下書きです"));
            continue;
        }
        if (line == "end") {
            ended = p == bytes.size();
            break;
        }
        const qsizetype eq = line.indexOf('=');
        if (eq < 0)
            break;
        const QByteArray name = line.left(eq);
        const QByteArray raw = line.mid(eq + 1);
        if (name == "text") {
            bool ok = false;
            const qsizetype size = raw.toLongLong(&ok);
            if (!ok || size < 0 || p + size + 1 > bytes.size() || bytes.at(p + size) != '\n')
                break;
            draft.text = QString::fromUtf8(bytes.mid(p, size));
            draft.hasText = true;
            p += size + 1;
            continue;
        }
        const QString value = QString::fromUtf8(QByteArray::fromPercentEncoding(raw));
        if (name == "kind") {
            for (const KindName &k : kKinds) {
                if (value == QLatin1String(k.key)) {
                    draft.kind = k.kind;
                    kindKnown = true;
                }
            }
        } else if (name == "store") {
            for (const StoreName &s : kStores) {
                if (value == QLatin1String(s.key)) {
                    draft.target.kind = s.kind;
                    storeKnown = true;
                }
            }
        } else if (name == "net") {
            draft.netName = value;
        } else if (name == "board") {
            draft.target.board = value.toLongLong();
        } else if (name == "chat") {
            draft.target.chat = value == u"1";
        } else if (name == "board-name") {
            draft.boardName = value;
        } else if (name == "reference") {
            draft.target.reference = value;
        } else if (name == "recipients") {
            draft.target.recipients = value;
        } else if (name == "rewrite") {
            draft.target.rewrite = value == u"1";
        } else if (name == "replaces") {
            draft.replaces = value;
        } else if (name == "started") {
            draft.started = QDateTime::fromString(value, Qt::ISODate);
        } else if (name == "edited-file") {
            draft.editedFile = value;
        }
    }
    if (!ended)
        return unreadable(bytes, QStringLiteral("下書きの記録が途中で切れています"));
    if (!kindKnown || !storeKnown)
        return unreadable(bytes, QStringLiteral("新しい版のKavrelの下書きです"));
    return draft;
}

bool Drafts::write(Draft &draft)
{
    if (m_folder.isEmpty())
        return true;
    if (draft.file.isEmpty()) {
        const QString base = draft.started.toString(QStringLiteral("yyyyMMdd-HHmmss"));
        QString path = fileio::joinPath(m_folder, base + kSuffix);
        for (int i = 2; QFileInfo::exists(path); ++i)
            path = fileio::joinPath(m_folder, base + u'-' + QString::number(i) + kSuffix);
        draft.file = path;
    }
    fileio::FileError error;
    if (!QDir().mkpath(m_folder)) {
        sayNotKept(m_folder + QStringLiteral(": フォルダを作れません"));
        return false;
    }
    if (!fileio::writeAtomic(draft.file, encode(draft), &error)) {
        sayNotKept(error.toString());
        return false;
    }
    m_said = false; // a folder that works again is said again when it fails
    return true;
}

void Drafts::sayNotKept(const QString &reason)
{
    if (m_said)
        return;
    m_said = true;
    m_session.message(QStringLiteral("書きかけの文章を下書きとして保存できません。\r\n") + reason
            + QStringLiteral("\r\n\r\n下書きを残さずに書き込みを続けます。"),
        MsgButtons::Ok, MsgIcon::Exclamation);
}

void Drafts::begin(const Draft &draft)
{
    m_current = draft;
    m_current.file.clear();
    if (m_folder.isEmpty())
        return;
    if (!write(m_current))
        m_current.file.clear();
}

bool Drafts::keepText(const QString &text)
{
    if (m_folder.isEmpty())
        return true;
    if (m_current.file.isEmpty() && m_current.started.isNull())
        return true; // no command is being written
    QString crlf = text;
    crlf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    crlf.replace(u'\n', QStringLiteral("\r\n"));
    if (m_current.hasText && m_current.text == crlf && !m_current.file.isEmpty())
        return true;
    m_current.text = crlf;
    m_current.hasText = true;
    if (write(m_current))
        return true;
    if (!m_current.file.isEmpty() && !QFileInfo::exists(m_current.file))
        m_current.file.clear(); // a new name is tried next time
    return false;
}

void Drafts::end()
{
    if (!m_current.file.isEmpty())
        fileio::removeIfExists(m_current.file);
    m_current = Draft();
}

QList<Draft> Drafts::offered(const QString &netName) const
{
    QList<Draft> out;
    if (m_folder.isEmpty())
        return out;
    QList<QDateTime> times;
    const QFileInfoList files
        = QDir(m_folder).entryInfoList({ QStringLiteral("*") + kSuffix }, QDir::Files, QDir::Name);
    for (const QFileInfo &info : files) {
        QByteArray bytes;
        if (!fileio::readAll(info.filePath(), &bytes))
            continue; // gone meanwhile, or not ours to read: it stays where it is
        Draft draft = decode(bytes);
        draft.file = info.filePath();
        if (draft.unreadable.isEmpty() && draft.netName != netName)
            continue;
        times << (draft.unreadable.isEmpty() && draft.started.isValid() ? draft.started
                                                                        : info.lastModified());
        out << draft;
    }
    // The newest first; the order of the names among drafts of the same time.
    QList<qsizetype> order(out.size());
    for (qsizetype i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(
        order.begin(), order.end(), [&](qsizetype a, qsizetype b) { return times[a] > times[b]; });
    QList<Draft> sorted;
    sorted.reserve(out.size());
    for (const qsizetype i : order)
        sorted << out.at(i);
    return sorted;
}

bool Drafts::remove(const Draft &draft)
{
    fileio::FileError error;
    if (fileio::removeIfExists(draft.file, &error))
        return true;
    m_session.reportFileError(fileio::FileAccess::Remove, error);
    return false;
}

void Drafts::takeInEditedFile(const QString &path)
{
    if (m_folder.isEmpty() || !QFileInfo::exists(path))
        return;
    QByteArray edited;
    if (!fileio::readAll(path, &edited))
        return;
    const QString text = tempfile::decodeEdited(edited);
    const QFileInfoList files = QDir(m_folder).entryInfoList({ QStringLiteral("*") + kSuffix }, QDir::Files);
    for (const QFileInfo &info : files) {
        QByteArray bytes;
        if (!fileio::readAll(info.filePath(), &bytes))
            continue;
        Draft draft = decode(bytes);
        if (!draft.unreadable.isEmpty() || draft.hasText || draft.editedFile != path)
            continue;
        draft.file = info.filePath();
        draft.text = text;
        draft.hasText = true;
        write(draft);
    }
}

} // namespace kavrel::commands
