#pragma once

#include <QString>
#include <QStringList>

// The texts that TEMP.TXT starts with, built from the lines of the shown
// article. Each line is followed by CR LF; whether the last CR LF stays is the
// caller's choice.
namespace kavrel::commands::startingtext {

enum class TrailingLineEnd { Remove, Keep };

QString plainCopy(const QStringList &lines, TrailingLineEnd trailing);
// ">" + line for every line.
QString quote(const QStringList &lines, TrailingLineEnd trailing);
// ">" + line for every non-empty line; empty lines are left out.
QString quoteWithoutBlanks(const QStringList &lines, TrailingLineEnd trailing);
// Every line without its first 23 characters (the chat prefix).
QString chatCopy(const QStringList &lines, TrailingLineEnd trailing);

// A text that ends in two CR LF loses one of them.
QString dropDoubledTrailingLineEnd(const QString &text);

} // namespace kavrel::commands::startingtext
