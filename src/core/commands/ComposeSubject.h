#pragma once

#include <QString>

namespace kavrel {
class Session;
}

namespace kavrel::commands {

// What the text being written is for, as the editor shows it while a
// command runs it: a mail's recipients ("宛先: ..."), the article a response
// answers ("レス先: ..."), or else the board the text goes to ("書込先: ...").
QString composeSubject(const Session &session);

} // namespace kavrel::commands
