#pragma once

#include <QString>

namespace kavrel {

// One item of the board list as a value: its text read once, so that no one
// reads the text again for its kind or its numbers.
struct BoardItem
{
    enum class Kind { Mail, Board, Chat };

    Kind kind = Kind::Board;
    // The board number (see boarditem::boardNumber); a chat room's number.
    qint64 number = 0;
    // The five characters after "No." as a number: how a batch mark names
    // the board.
    qint64 batchNumber = 0;
    QString name; // between "｢" and "｣" (or the end); empty for a chat room
    QString key; // the start of its article lines; empty for a chat room
    QString text; // as the board list shows it

    // Reads an item's text; key is the board's key, when known.
    static BoardItem fromText(const QString &text, const QString &key = {});

    bool isChat() const { return kind == Kind::Chat; }
    bool isMailBox() const { return kind == Kind::Mail; }
    // The number as a board: 0 for a chat room.
    qint64 boardNumber() const { return isChat() ? 0 : number; }

    friend bool operator==(const BoardItem &, const BoardItem &) = default;
};

} // namespace kavrel
