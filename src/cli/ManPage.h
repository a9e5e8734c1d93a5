#pragma once

#include <QString>

namespace kavrel::cli {

// The man pages kavrel-cli.1 and kavrel.1 in troff, made from the same usage
// texts as --help.
QString cliManPage();
QString programManPage();

} // namespace kavrel::cli
