#pragma once

#include <QString>

// How the writing commands read the current item of Board_List: a board item
// reads "No." + number + " " + "｢" + name + "｣"..., a chat room "[XCHAT] No" +
// number + "." ...
namespace kavrel::commands::boarditem {

// The board number: the characters from the 4th, as many as the position of
// "｢" minus 5, taken as a number.
qint64 boardNumber(const QString &item);
// The mail box: "0" at the 4th character or " 0" at the 4th and 5th.
bool isMailBox(const QString &item);
bool isChat(const QString &item);
// The chat number: from the 11th character up to the one before the first ".".
qint64 chatNumber(const QString &item);

// The text between two 1-based positions, start included and end excluded;
// empty when end does not lie after start.
QString between(const QString &s, qsizetype start, qsizetype end);

} // namespace kavrel::commands::boarditem
