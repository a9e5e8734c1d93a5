#include "base/BoardItem.h"

#include "base/BoardItemText.h"
#include "base/Text.h"

namespace kavrel {

BoardItem BoardItem::fromText(const QString &text, const QString &key)
{
    BoardItem item;
    item.text = text;
    item.batchNumber = boarditem::fiveDigitBoardNumber(text);
    if (boarditem::isChat(text)) {
        item.kind = Kind::Chat;
        item.number = boarditem::chatNumber(text);
        return item;
    }
    item.kind = boarditem::isMailBox(text) ? Kind::Mail : Kind::Board;
    item.number = boarditem::boardNumber(text);
    item.key = key;
    const qsizetype open = text.indexOf(QStringLiteral("｢"));
    if (open >= 0) {
        const qsizetype close = text.indexOf(QStringLiteral("｣"), open + 1);
        item.name = text.mid(open + 1, close < 0 ? -1 : close - open - 1);
    }
    return item;
}

} // namespace kavrel
