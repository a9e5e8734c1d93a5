#pragma once

namespace kavrel::fulltext {

// The name of an SQLite file system, registered on first use, that keeps a
// checksum in the last kPageChecksumBytes of every page of a database file
// whose header reserves them: written with the page, checked whenever the
// page is read from the file. A page that does not match fails its read with
// SQLITE_IOERR_DATA, so that damage anywhere in the file is found, not read
// as fewer rows. Pages in the write-ahead log are not checked: it is emptied
// into the file when the last connection closes.
const char *pageChecksumsVfs();

inline constexpr int kPageChecksumBytes = 8;

} // namespace kavrel::fulltext
