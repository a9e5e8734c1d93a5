#include "session/UpFileHistory.h"

#include "base/Cp932.h"
#include "session/UpFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace kavrel {

namespace {

const QByteArray kMagic = QByteArrayLiteral("KAVREL UP FILE GENERATION 1");
const QString kCurrentName = QStringLiteral("current");
const QString kSuffix = QStringLiteral(".gen");

QByteArray originName(UpFileGeneration::Origin origin)
{
    switch (origin) {
    case UpFileGeneration::Origin::Kavrel:
        return QByteArrayLiteral("kavrel");
    case UpFileGeneration::Origin::Outside:
        return QByteArrayLiteral("outside");
    case UpFileGeneration::Origin::Start:
        return QByteArrayLiteral("start");
    }
    return {};
}

QByteArray checksum(const QByteArray &header, const QByteArray &body)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(header);
    hash.addData(body);
    return hash.result().toHex();
}

// The header lines, then the checksum of the header and the bytes, an empty
// line and the file's exact bytes.
QByteArray encodeGeneration(const UpFileGeneration &g)
{
    const QByteArray body = g.bytes.value_or(QByteArray());
    QByteArray header = kMagic + '\n';
    header += "time " + g.time.toString(Qt::ISODate).toLatin1() + '\n';
    header += "origin " + originName(g.origin) + '\n';
    header += "change " + cp932::encode(g.change) + '\n';
    header += QByteArray("file ") + (g.bytes ? "present" : "absent") + '\n';
    header += "length " + QByteArray::number(body.size()) + '\n';
    return header + "sha256 " + checksum(header, body) + "\n\n" + body;
}

// Fills g from a generation file; false when it is not a whole one.
bool decodeGeneration(const QByteArray &data, UpFileGeneration *g)
{
    const qsizetype end = data.indexOf("\n\n");
    if (end < 0)
        return false;
    const QByteArray body = data.mid(end + 2);
    const qsizetype sumLine = data.lastIndexOf('\n', end - 1) + 1;
    const QByteArray header = data.left(sumLine);
    const QByteArray sum = data.mid(sumLine, end - sumLine);
    if (!header.startsWith(kMagic + '\n') || sum != "sha256 " + checksum(header, body))
        return false;
    QHash<QByteArray, QByteArray> fields;
    for (const QByteArray &line : header.split('\n')) {
        const qsizetype blank = line.indexOf(' ');
        if (blank > 0)
            fields.insert(line.left(blank), line.mid(blank + 1));
    }
    bool lengthRead = false;
    if (fields.value("length").toLongLong(&lengthRead) != body.size() || !lengthRead)
        return false;
    g->time = QDateTime::fromString(QString::fromLatin1(fields.value("time")), Qt::ISODate);
    g->change = cp932::decode(fields.value("change"));
    const QByteArray origin = fields.value("origin");
    g->origin = origin == originName(UpFileGeneration::Origin::Outside) ? UpFileGeneration::Origin::Outside
        : origin == originName(UpFileGeneration::Origin::Start)         ? UpFileGeneration::Origin::Start
                                                                        : UpFileGeneration::Origin::Kavrel;
    if (fields.value("file") == "present")
        g->bytes = body;
    else if (!body.isEmpty())
        return false;
    return true;
}

// The commands Kavrel wrote in a generation, each text with how often it stands there.
QHash<QString, int> commandCounts(const UpFileGeneration &g)
{
    QHash<QString, int> counts;
    if (!g.bytes)
        return counts;
    const UpFile up(cp932::decode(*g.bytes));
    for (const UpCommand &c : up.commands()) {
        if (c.kind != UpCommandKind::Other)
            ++counts[up.text().mid(c.start, c.length)];
    }
    return counts;
}

} // namespace

UpFileHistory::UpFileHistory(const QString &upFilePath)
{
    const QFileInfo up(upFilePath);
    m_folder
        = fileio::joinPath(fileio::joinPath(up.path(), QStringLiteral(".kavrel-history")), up.fileName());
}

bool UpFileHistory::read(fileio::FileError *error)
{
    m_generations.clear();
    m_current = 0;
    const QDir dir(m_folder);
    if (!dir.exists())
        return true;
    QList<qint64> numbers;
    for (const QString &name : dir.entryList({ QLatin1Char('*') + kSuffix }, QDir::Files)) {
        bool ok = false;
        const qint64 number = name.chopped(kSuffix.size()).toLongLong(&ok);
        if (ok && number > 0)
            numbers << number;
    }
    std::sort(numbers.begin(), numbers.end());
    for (const qint64 number : std::as_const(numbers)) {
        UpFileGeneration g;
        g.number = number;
        QByteArray data;
        g.damaged = !fileio::readAll(generationPath(number), &data) || !decodeGeneration(data, &g);
        if (g.damaged)
            g.bytes.reset();
        m_generations << g;
    }
    QByteArray current;
    if (!fileio::readAll(fileio::joinPath(m_folder, kCurrentName), &current, error, true))
        return false;
    m_current = current.trimmed().toLongLong();
    if (indexOf(m_current) < 0)
        m_current = m_generations.isEmpty() ? 0 : m_generations.last().number;
    return true;
}

int UpFileHistory::indexOf(qint64 number) const
{
    for (int i = 0; i < m_generations.size(); ++i) {
        if (m_generations.at(i).number == number)
            return i;
    }
    return -1;
}

int UpFileHistory::currentIndex() const
{
    return indexOf(m_current);
}

const UpFileGeneration *UpFileHistory::find(qint64 number) const
{
    const int i = indexOf(number);
    return i < 0 ? nullptr : &m_generations.at(i);
}

const UpFileGeneration *UpFileHistory::current() const
{
    return find(m_current);
}

const UpFileGeneration *UpFileHistory::previous(QList<qint64> *skipped) const
{
    for (int i = currentIndex() - 1; i >= 0; --i) {
        if (!m_generations.at(i).damaged)
            return &m_generations.at(i);
        if (skipped)
            *skipped << m_generations.at(i).number;
    }
    return nullptr;
}

const UpFileGeneration *UpFileHistory::next(QList<qint64> *skipped) const
{
    const int from = currentIndex();
    for (int i = from + 1; from >= 0 && i < m_generations.size(); ++i) {
        if (!m_generations.at(i).damaged)
            return &m_generations.at(i);
        if (skipped)
            *skipped << m_generations.at(i).number;
    }
    return nullptr;
}

bool UpFileHistory::keepFound(
    const std::optional<QByteArray> &found, const QDateTime &time, fileio::FileError *error)
{
    const UpFileGeneration *now = current();
    if (now && !now->damaged && now->bytes == found)
        return true;
    UpFileGeneration g;
    g.time = time;
    g.bytes = found;
    g.origin = m_generations.isEmpty() ? UpFileGeneration::Origin::Start : UpFileGeneration::Origin::Outside;
    g.change = g.origin == UpFileGeneration::Origin::Start ? QStringLiteral("履歴の始まり")
                                                           : QStringLiteral("Kavrel の外での変更");
    return removeFrom(currentIndex() + 1, error) && append(g, error);
}

bool UpFileHistory::add(const std::optional<QByteArray> &bytes, const QString &change, const QDateTime &time,
    fileio::FileError *error)
{
    UpFileGeneration g;
    g.time = time;
    g.bytes = bytes;
    g.change = change;
    return removeFrom(currentIndex() + 1, error) && append(g, error);
}

bool UpFileHistory::setCurrent(qint64 number, fileio::FileError *error)
{
    if (!fileio::writeAtomic(
            fileio::joinPath(m_folder, kCurrentName), QByteArray::number(number) + '\n', error))
        return false;
    m_current = number;
    return true;
}

int UpFileHistory::sentCommandsBroughtBack(qint64 number) const
{
    const int target = indexOf(number);
    const int now = currentIndex();
    if (target < 0 || now <= target)
        return 0;
    // What the outside changes since the generation took away.
    QHash<QString, int> sent;
    for (int i = target + 1; i <= now; ++i) {
        const UpFileGeneration &g = m_generations.at(i);
        if (g.origin != UpFileGeneration::Origin::Outside || g.damaged || m_generations.at(i - 1).damaged)
            continue;
        const QHash<QString, int> after = commandCounts(g);
        const QHash<QString, int> before = commandCounts(m_generations.at(i - 1));
        for (auto it = before.begin(); it != before.end(); ++it) {
            const int gone = it.value() - after.value(it.key());
            if (gone > 0)
                sent[it.key()] += gone;
        }
    }
    int back = 0;
    const QHash<QString, int> restored = commandCounts(m_generations.at(target));
    const QHash<QString, int> standing = commandCounts(m_generations.at(now));
    for (auto it = restored.begin(); it != restored.end(); ++it)
        back += qMin(qMax(0, it.value() - standing.value(it.key())), sent.value(it.key()));
    return back;
}

bool UpFileHistory::append(UpFileGeneration generation, fileio::FileError *error)
{
    generation.number = m_generations.isEmpty() ? 1 : m_generations.last().number + 1;
    // The history is made inside the up file's folder, never the folder itself.
    const QString historyRoot = QFileInfo(m_folder).path();
    const auto madeFolder
        = [](const QString &folder) { return QFileInfo(folder).isDir() || QDir().mkdir(folder); };
    if (!QFileInfo(QFileInfo(historyRoot).path()).isDir() || !madeFolder(historyRoot)
        || !madeFolder(m_folder)) {
        if (error)
            *error = { m_folder, QStringLiteral("フォルダを作れません") };
        return false;
    }
    if (!fileio::writeAtomic(generationPath(generation.number), encodeGeneration(generation), error))
        return false;
    m_generations << generation;
    if (!setCurrent(generation.number, error))
        return false;
    while (m_generations.size() > kMaxGenerations) {
        if (!removeOldest(error))
            return false;
    }
    return true;
}

bool UpFileHistory::removeFrom(int index, fileio::FileError *error)
{
    while (index >= 0 && index < m_generations.size()) {
        if (!fileio::removeIfExists(generationPath(m_generations.last().number), error))
            return false;
        m_generations.removeLast();
    }
    return true;
}

bool UpFileHistory::removeOldest(fileio::FileError *error)
{
    if (!fileio::removeIfExists(generationPath(m_generations.first().number), error))
        return false;
    m_generations.removeFirst();
    return true;
}

QString UpFileHistory::generationPath(qint64 number) const
{
    return fileio::joinPath(m_folder, QStringLiteral("%1").arg(number, 8, 10, QLatin1Char('0')) + kSuffix);
}

} // namespace kavrel
