#pragma once

#include <QString>
#include <QStringList>

namespace kavrel::test {

// Real Japanese prose for the bodies of generated articles: the Japanese
// manual pages (Debian's manpages-ja, /usr/share/man/ja) with their roff
// markup stripped, each paragraph cut into lines of at most kLineLength
// characters that Shift-JIS can hold. Only lines that hold Japanese are kept,
// each line once.
class ManPageProse
{
public:
    static constexpr int kLineLength = 76;

    // Where the pages are installed.
    static QString folder();

    // The lines of every installed page, in the pages' order, read once per
    // process. Empty when manpages-ja is not installed.
    static const QStringList &lines();

    // The lines of one page's roff source, with repeats.
    static QStringList linesOfPage(const QString &roff);
};

} // namespace kavrel::test
