#pragma once

#include <QFont>
#include <QString>

namespace kavrel::ui::fonts {

// The lists show their text in "ＭＳ 明朝". Where that family is not
// installed, the first installed Japanese Mincho family stands in for it
// (IPAMincho and the like); failing that, the system's fixed-pitch font.
inline const QString kListFamily = QStringLiteral("ＭＳ 明朝");

// The family actually used for kListFamily on this system.
QString resolvedListFamily();
QFont listFont();

} // namespace kavrel::ui::fonts
