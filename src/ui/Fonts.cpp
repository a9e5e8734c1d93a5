#include "Fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace kavrel::ui::fonts {

QString resolvedListFamily()
{
    static const QString resolved = [] {
        const QStringList families = QFontDatabase::families();
        if (families.contains(kListFamily))
            return kListFamily;
        // Prefer a fixed-pitch Mincho: the title columns line up by character.
        QString proportional;
        for (const QString &family : families) {
            if (!family.contains(QLatin1String("Mincho"), Qt::CaseInsensitive)
                && !family.contains(QStringLiteral("明朝")))
                continue;
            if (QFontDatabase::isFixedPitch(family))
                return family;
            if (proportional.isEmpty())
                proportional = family;
        }
        if (!proportional.isEmpty())
            return proportional;
        return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    }();
    return resolved;
}

QFont listFont()
{
    QFont font(resolvedListFamily());
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

} // namespace kavrel::ui::fonts
