#pragma once

namespace kavrel {
class Session;
}

namespace kavrel::reader {

// Shows the waiting command behind a mark row of the title list ("[手紙 n]",
// "[書込 n]", "[レス n]", "[書込]" on a chat room) in the article view, as the
// up file holds it. A command that is no longer there leaves the view empty.
void ShowMarkRow(Session &session);

} // namespace kavrel::reader
