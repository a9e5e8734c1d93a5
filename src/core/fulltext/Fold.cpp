#include "fulltext/Fold.h"

namespace kavrel::fulltext {

namespace {

// Full-width forms of U+FF61 (｡) to U+FF9D (ﾝ), in code order.
const char16_t kHalfKana[]
    = u"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノ"
      u"ハヒフヘホマミムメモヤユヨラリルレロワン";

QChar voiced(QChar kana)
{
    static const QString plain = QStringLiteral("ウカキクケコサシスセソタチツテトハヒフヘホ");
    static const QString withMark = QStringLiteral("ヴガギグゲゴザジズゼゾダヂヅデドバビブベボ");
    const qsizetype i = plain.indexOf(kana);
    return i < 0 ? QChar() : withMark.at(i);
}

QChar semiVoiced(QChar kana)
{
    static const QString plain = QStringLiteral("ハヒフヘホ");
    static const QString withMark = QStringLiteral("パピプペポ");
    const qsizetype i = plain.indexOf(kana);
    return i < 0 ? QChar() : withMark.at(i);
}

} // namespace

QString fold(QStringView text, QList<qsizetype> *origin)
{
    QString out;
    out.reserve(text.size());
    if (origin) {
        origin->clear();
        origin->reserve(text.size());
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        char16_t c = text.at(i).unicode();
        if (c >= 0xFF01 && c <= 0xFF5E)
            c = char16_t(c - 0xFF01 + 0x21);
        else if (c == 0x3000)
            c = u' ';
        if (c >= u'A' && c <= u'Z') {
            c = char16_t(c + 32);
        } else if (c >= 0xFF61 && c <= 0xFF9D) {
            QChar kana(kHalfKana[c - 0xFF61]);
            if (i + 1 < text.size()) {
                const char16_t mark = text.at(i + 1).unicode();
                const QChar joined = mark == 0xFF9E ? voiced(kana)
                    : mark == 0xFF9F                ? semiVoiced(kana)
                                                    : QChar();
                if (!joined.isNull()) {
                    kana = joined;
                    out.append(kana);
                    if (origin)
                        origin->append(i);
                    ++i;
                    continue;
                }
            }
            c = kana.unicode();
        } else if (c == 0xFF9E) {
            c = u'゛';
        } else if (c == 0xFF9F) {
            c = u'゜';
        }
        out.append(QChar(c));
        if (origin)
            origin->append(i);
    }
    return out;
}

} // namespace kavrel::fulltext
