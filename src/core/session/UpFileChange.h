#pragma once

#include <QString>

namespace kavrel {

// What changed an up file's text, in the words of its mark rows, for its
// history: "書込 1 の保存", "レス 3 の削除", "手紙 2 の書き直し",
// "一括マークの設定", or "アップファイルの変更" when several commands changed.
QString describeUpFileChange(const QString &before, const QString &after);

// The n-th (from 1) command Kavrel wrote that stands in after and not in
// before (the first one an undo brought back); 0 when there is none.
int firstCommandAdded(const QString &before, const QString &after);

} // namespace kavrel
