#include "settings/SettingsStore.h"

#include "base/Cp932.h"
#include "base/FileIo.h"
#include "base/FileLookup.h"
#include "settings/RecordFile.h"

#include <QFileInfo>

namespace kavrel::settings {

namespace {

// What the directory dialog calls each value, for the refusal message.
QString labelOf(int index)
{
    switch (index) {
    case DirRecord::LOG_Dir:
        return QStringLiteral("ＬＯＧファイルディレクトリ");
    case DirRecord::Up_Dir:
        return QStringLiteral("ＵＰファイル保存ディレクトリ");
    case DirRecord::BL_Dir:
        return QStringLiteral("各リスト保存ディレクトリ");
    case DirRecord::Editor_Path:
        return QStringLiteral("起動エディタフルパス");
    case DirRecord::WindowLeft:
    case DirRecord::WindowTop:
    case DirRecord::WindowHeight:
        return QStringLiteral("ウィンドウ位置");
    default:
        return QStringLiteral("予備");
    }
}

QString withoutTrailingSlash(const QString &dir)
{
    return dir.endsWith(u'/') ? dir.left(dir.size() - 1) : dir;
}

// Writes record as DIR.DEF's record; refuses what the slot cannot hold.
bool storeDirRecord(NetContext &session, const DirRecord &record)
{
    const QString refusal = SettingsStore::refusalOf(record);
    if (!refusal.isEmpty()) {
        session.message(refusal, MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    fileio::FileError error;
    if (!writeRecord(
            SettingsStore::dirFilePath(session), 0, SettingsStore::encodeDirRecord(record), ' ', &error)) {
        session.reportFileError(fileio::FileAccess::Write, error);
        return false;
    }
    return true;
}

} // namespace

QString SettingsStore::dirFilePath(const NetContext &session)
{
    return fileio::pathIgnoringCase(session.AppDir, kDirFileName);
}

QString SettingsStore::flagsFilePath(const NetContext &session)
{
    return fileio::pathIgnoringCase(session.AppDir, kFlagsFileName);
}

QByteArray SettingsStore::encodeDirRecord(const DirRecord &record)
{
    QByteArray out;
    for (const QString &value : record.values) {
        const QByteArray bytes = cp932::encode(value);
        const auto length = quint16(qMin<qsizetype>(bytes.size(), 0xFFFF));
        out.append(char(length & 0xFF));
        out.append(char(length >> 8));
        out.append(bytes);
    }
    return out;
}

int SettingsStore::decodeDirRecord(const QByteArray &bytes, DirRecord *record)
{
    const qsizetype end = qMin(bytes.size(), kDirSlotBytes);
    qsizetype pos = 0;
    for (int i = 0; i < DirRecord::Count; ++i) {
        if (pos + 2 > end)
            return i;
        const qsizetype length
            = qsizetype(quint8(bytes.at(pos))) | (qsizetype(quint8(bytes.at(pos + 1))) << 8);
        if (pos + 2 + length > end)
            return i;
        record->values[i] = cp932::decode(bytes.mid(pos + 2, length));
        pos += 2 + length;
    }
    return DirRecord::Count;
}

QByteArray SettingsStore::encodeFlags(const OptionFlags &flags)
{
    QByteArray out;
    for (const QString &flag : flags.values) {
        const bool oneByte = flag.size() == 1 && flag.at(0).unicode() < 256;
        out.append(oneByte ? char(flag.at(0).unicode()) : '0');
    }
    return out;
}

int SettingsStore::decodeFlags(const QByteArray &bytes, OptionFlags *flags)
{
    const int n = int(qMin<qsizetype>(bytes.size(), OptionFlags::Count));
    for (int i = 0; i < n; ++i)
        flags->values[i] = QString(QChar(quint8(bytes.at(i))));
    return n;
}

QString SettingsStore::refusalOf(const DirRecord &record)
{
    for (int i = 0; i < DirRecord::Count; ++i) {
        const QString bad = cp932::unencodable(record.values[i]);
        if (!bad.isEmpty())
            return QStringLiteral("ディレクトリ設定に保存できない文字が含まれています。\n「%1」: %2")
                .arg(labelOf(i), bad);
    }
    const qsizetype total = encodeDirRecord(record).size();
    if (total <= kDirSlotBytes)
        return {};
    int longest = 0;
    qsizetype longestBytes = -1;
    for (int i = 0; i < DirRecord::Count; ++i) {
        const qsizetype n = cp932::byteLength(record.values[i]);
        if (n > longestBytes) {
            longest = i;
            longestBytes = n;
        }
    }
    return QStringLiteral("ディレクトリ設定が長すぎるため保存できません。\n"
                          "「%1」が %2 バイトあります（全体で %3 バイト、上限 %4 バイト）。")
        .arg(labelOf(longest))
        .arg(longestBytes)
        .arg(total)
        .arg(kDirSlotBytes);
}

void ReadSettings(NetContext &session)
{
    const QString dirPath = SettingsStore::dirFilePath(session);
    if (!QFileInfo(dirPath).isFile())
        return;
    QByteArray bytes;
    fileio::FileError error;
    if (fileio::readAll(dirPath, &bytes, &error))
        SettingsStore::decodeDirRecord(bytes, &session.Dir);
    else
        session.reportFileError(fileio::FileAccess::Read, error);

    const QString flagsPath = SettingsStore::flagsFilePath(session);
    if (!QFileInfo(flagsPath).isFile())
        return;
    if (fileio::readAll(flagsPath, &bytes, &error))
        SettingsStore::decodeFlags(bytes, &session.Flags);
    else
        session.reportFileError(fileio::FileAccess::Read, error);
}

bool WriteDirSettings(NetContext &session, const QString &logDir, const QString &upDir, const QString &blDir,
    const QString &editorPath)
{
    DirRecord record = session.Dir;
    record[DirRecord::LOG_Dir] = withoutTrailingSlash(logDir);
    record[DirRecord::Up_Dir] = withoutTrailingSlash(upDir);
    record[DirRecord::BL_Dir] = withoutTrailingSlash(blDir);
    record[DirRecord::Editor_Path] = editorPath;
    if (!storeDirRecord(session, record))
        return false;
    session.Dir = record;
    session.message(QStringLiteral("この設定は次回起動時より有効です。"));
    return true;
}

bool WriteOptionFlags(NetContext &session, const std::array<bool, OptionFlags::Count> &checked)
{
    const QString path = SettingsStore::flagsFilePath(session);
    QByteArray current;
    fileio::FileError error;
    if (!fileio::readAll(path, &current, &error, true)) {
        session.reportFileError(fileio::FileAccess::Write, error);
        return false;
    }
    OptionFlags flags = session.Flags;
    for (int i = 0; i < OptionFlags::Count; ++i) {
        if (i == OptionFlags::Reserved6 || i == OptionFlags::Reserved9)
            flags.values[i]
                = i < current.size() ? QString(QChar(quint8(current.at(i)))) : QStringLiteral("0");
        else
            flags.values[i] = checked[i] ? QStringLiteral("1") : QStringLiteral("0");
    }
    if (!writeRecord(path, 0, SettingsStore::encodeFlags(flags), ' ', &error)) {
        session.reportFileError(fileio::FileAccess::Write, error);
        return false;
    }
    session.Flags = flags;
    return true;
}

bool WriteNewSettings(NetContext &session)
{
    if (!QFileInfo::exists(SettingsStore::dirFilePath(session))) {
        DirRecord record;
        record[DirRecord::LOG_Dir] = QStringLiteral("LOG");
        record[DirRecord::Up_Dir] = QStringLiteral("UP");
        record[DirRecord::BL_Dir] = QStringLiteral("BL");
        if (!storeDirRecord(session, record))
            return false;
        session.Dir = record;
    }
    const QString flagsPath = SettingsStore::flagsFilePath(session);
    if (QFileInfo::exists(flagsPath))
        return true;
    fileio::FileError error;
    if (!writeRecord(flagsPath, 0, SettingsStore::encodeFlags(OptionFlags()), ' ', &error)) {
        session.reportFileError(fileio::FileAccess::Write, error);
        return false;
    }
    return true;
}

bool WriteWindowPlacement(NetContext &session, int left, int top, int height)
{
    DirRecord record = session.Dir;
    record[DirRecord::WindowLeft] = QString::number(left);
    record[DirRecord::WindowTop] = QString::number(top);
    record[DirRecord::WindowHeight] = QString::number(height);
    if (!storeDirRecord(session, record))
        return false;
    session.Dir = record;
    return true;
}

} // namespace kavrel::settings
