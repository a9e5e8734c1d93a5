#pragma once

#include <QString>

namespace kavrel::fileio {

// The program's own files were named in mixed case over the years ("DIR.DEF",
// "DIR.def", "dir.def"): all name the same file. Answers the path of the file
// in directory whose name equals name ignoring case (an exact match wins), or
// directory + "/" + name when there is none, which is where a new file goes.
QString pathIgnoringCase(const QString &directory, const QString &name);

} // namespace kavrel::fileio
