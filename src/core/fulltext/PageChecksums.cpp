#include "fulltext/PageChecksums.h"

#include <QtEndian>

#include <sqlite3.h>

#include <cstring>
#include <mutex>

namespace kavrel::fulltext {

namespace {

sqlite3_vfs *g_inner = nullptr; // the system's own file system

// A file of ours: the inner file system's file follows it in memory.
struct CheckedFile
{
    sqlite3_file base;
    bool checked; // the header reserves the checksum's bytes
};

sqlite3_file *innerOf(sqlite3_file *file)
{
    return reinterpret_cast<sqlite3_file *>(reinterpret_cast<CheckedFile *>(file) + 1);
}

bool isPage(int bytes)
{
    return bytes >= 512 && (bytes & (bytes - 1)) == 0;
}

// Two running sums over the page's 32-bit words, each word weighed by where it stands.
void checksumOf(const unsigned char *page, int bytes, unsigned char *out)
{
    quint32 s1 = 0;
    quint32 s2 = 0;
    for (int i = 0; i + 8 <= bytes; i += 8) {
        s1 += qFromLittleEndian<quint32>(page + i) + s2;
        s2 += qFromLittleEndian<quint32>(page + i + 4) + s1;
    }
    qToLittleEndian(s1, out);
    qToLittleEndian(s2, out + 4);
}

// The header at the start of the file says whether pages carry a checksum.
void noteHeader(CheckedFile *file, const void *data, int bytes, sqlite3_int64 offset)
{
    const auto *d = static_cast<const unsigned char *>(data);
    if (offset == 0 && bytes >= 100 && std::memcmp(d, "SQLite format 3", 16) == 0)
        file->checked = d[20] == kPageChecksumBytes;
}

int readChecked(sqlite3_file *file, void *data, int bytes, sqlite3_int64 offset)
{
    auto *f = reinterpret_cast<CheckedFile *>(file);
    sqlite3_file *inner = innerOf(file);
    const int rc = inner->pMethods->xRead(inner, data, bytes, offset);
    if (rc != SQLITE_OK)
        return rc;
    noteHeader(f, data, bytes, offset);
    if (f->checked && isPage(bytes) && offset % bytes == 0) {
        const auto *page = static_cast<const unsigned char *>(data);
        unsigned char sum[kPageChecksumBytes];
        checksumOf(page, bytes - kPageChecksumBytes, sum);
        if (std::memcmp(sum, page + bytes - kPageChecksumBytes, kPageChecksumBytes) != 0)
            return SQLITE_IOERR_DATA;
    }
    return SQLITE_OK;
}

int writeChecked(sqlite3_file *file, const void *data, int bytes, sqlite3_int64 offset)
{
    auto *f = reinterpret_cast<CheckedFile *>(file);
    noteHeader(f, data, bytes, offset);
    if (f->checked && isPage(bytes) && offset % bytes == 0) {
        // The reserved bytes are the page's own: SQLite never uses them.
        auto *page = static_cast<unsigned char *>(const_cast<void *>(data));
        checksumOf(page, bytes - kPageChecksumBytes, page + bytes - kPageChecksumBytes);
    }
    sqlite3_file *inner = innerOf(file);
    return inner->pMethods->xWrite(inner, data, bytes, offset);
}

// Pages read through a memory map would not be checked: none are mapped.
int fetchNothing(sqlite3_file *, sqlite3_int64, int, void **pages)
{
    *pages = nullptr;
    return SQLITE_OK;
}

int unfetchNothing(sqlite3_file *file, sqlite3_int64 offset, void *page)
{
    sqlite3_file *inner = innerOf(file);
    return page || inner->pMethods->iVersion < 3 ? SQLITE_OK
                                                 : inner->pMethods->xUnfetch(inner, offset, nullptr);
}

// Every other call goes to the inner file as it is.
template <auto Member, typename... Args> int passOn(sqlite3_file *file, Args... args)
{
    sqlite3_file *inner = innerOf(file);
    return (inner->pMethods->*Member)(inner, args...);
}

template <auto Member> void passOnVoid(sqlite3_file *file)
{
    sqlite3_file *inner = innerOf(file);
    (inner->pMethods->*Member)(inner);
}

const sqlite3_io_methods kCheckedMethods = {
    3,
    passOn<&sqlite3_io_methods::xClose>,
    readChecked,
    writeChecked,
    passOn<&sqlite3_io_methods::xTruncate, sqlite3_int64>,
    passOn<&sqlite3_io_methods::xSync, int>,
    passOn<&sqlite3_io_methods::xFileSize, sqlite3_int64 *>,
    passOn<&sqlite3_io_methods::xLock, int>,
    passOn<&sqlite3_io_methods::xUnlock, int>,
    passOn<&sqlite3_io_methods::xCheckReservedLock, int *>,
    passOn<&sqlite3_io_methods::xFileControl, int, void *>,
    passOn<&sqlite3_io_methods::xSectorSize>,
    passOn<&sqlite3_io_methods::xDeviceCharacteristics>,
    passOn<&sqlite3_io_methods::xShmMap, int, int, int, void volatile **>,
    passOn<&sqlite3_io_methods::xShmLock, int, int, int>,
    passOnVoid<&sqlite3_io_methods::xShmBarrier>,
    passOn<&sqlite3_io_methods::xShmUnmap, int>,
    fetchNothing,
    unfetchNothing,
};

int openChecked(sqlite3_vfs *, sqlite3_filename name, sqlite3_file *file, int flags, int *outFlags)
{
    // Only the database file itself: its journals are the inner system's own.
    if (!(flags & SQLITE_OPEN_MAIN_DB))
        return g_inner->xOpen(g_inner, name, file, flags, outFlags);
    auto *f = reinterpret_cast<CheckedFile *>(file);
    f->checked = false;
    sqlite3_file *inner = innerOf(file);
    const int rc = g_inner->xOpen(g_inner, name, inner, flags, outFlags);
    // The system's files are of version 3 (shared memory and mapping): ours pass every call on.
    f->base.pMethods = inner->pMethods ? &kCheckedMethods : nullptr;
    return rc;
}

} // namespace

const char *pageChecksumsVfs()
{
    static sqlite3_vfs vfs;
    static std::once_flag once;
    std::call_once(once, [] {
        g_inner = sqlite3_vfs_find(nullptr);
        vfs = *g_inner;
        vfs.iVersion = qMin(g_inner->iVersion, 3);
        vfs.szOsFile = int(sizeof(CheckedFile)) + g_inner->szOsFile;
        vfs.zName = "kavrel-page-checksums";
        vfs.pNext = nullptr;
        vfs.xOpen = openChecked;
        sqlite3_vfs_register(&vfs, 0);
    });
    return vfs.zName;
}

} // namespace kavrel::fulltext
