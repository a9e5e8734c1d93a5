#pragma once

#include <QString>

namespace kavrel {

// What a message box offers and shows. Every box is titled "Kavrel".
// YesNoDiscard shows はい, いいえ and 破棄; 破棄 answers Cancel.
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, YesNoDiscard };
enum class MsgIcon { None, Information, Question, Exclamation, Critical };
enum class MsgAnswer { Ok, Cancel, Yes, No };

// The one way the core asks the user something or tells them something. The
// windows answer with a real message box; tests and kavrel-cli script it.
// defaultAnswer is the button that Return presses: the first one, except for
// questions that delete or discard, which default to Cancel (or No).
class MessageHost
{
public:
    virtual ~MessageHost() = default;
    virtual MsgAnswer show(const QString &text, MsgButtons buttons, MsgIcon icon, MsgAnswer defaultAnswer)
        = 0;
};

// The answer of the first button: OK, or Yes.
inline MsgAnswer firstAnswer(MsgButtons buttons)
{
    return buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel ? MsgAnswer::Ok : MsgAnswer::Yes;
}

// The answer of a box closed without a choice: OK to a notice, Cancel to an
// OK/Cancel question, No to a Yes/No question.
inline MsgAnswer closedAnswer(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::Ok:
        return MsgAnswer::Ok;
    case MsgButtons::OkCancel:
        return MsgAnswer::Cancel;
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel:
    case MsgButtons::YesNoDiscard:
        return MsgAnswer::No;
    }
    return MsgAnswer::Ok;
}

inline const QString kMessageTitle = QStringLiteral("Kavrel");

} // namespace kavrel
