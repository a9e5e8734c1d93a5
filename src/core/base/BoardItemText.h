#pragma once

#include <QString>

// How an item of Board_List is read, in one place for every caller: a board
// item reads "No." + number + " " + "｢" + name + "｣"..., a chat room
// "[XCHAT] No" + number + "." ...
namespace kavrel::boarditem {

// The start of a chat room's item, and the Title row of one chat.
inline const QString kChatPrefix = QStringLiteral("[XCHAT]");
// The key under which the article view and the search know a chat row.
inline const QString kChatArticleKey = QStringLiteral("(XCHAT/");

// The board number: the text after "No." up to the "｢" of the name (blank
// before it or not), taken as a number; 0 for a chat room and for an item
// without a name.
qint64 boardNumber(const QString &item);
// The numeric value of the five characters after "No.": how board lines are
// ordered and how a batch mark names its board.
qint64 fiveDigitBoardNumber(const QString &item);
// The mail box: "0" at the 4th character or " 0" at the 4th and 5th.
bool isMailBox(const QString &item);
bool isChat(const QString &item);
// The chat number: from the 11th character up to the one before the first ".".
qint64 chatNumber(const QString &item);

// The text between two 1-based positions, start included and end excluded;
// empty when end does not lie after start.
QString between(const QString &s, qsizetype start, qsizetype end);

} // namespace kavrel::boarditem
