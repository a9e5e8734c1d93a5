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
    // Written through a raw buffer: the index folds every article, and
    // appending character by character costs more than the folding.
    QString out(text.size(), Qt::Uninitialized);
    char16_t *to = reinterpret_cast<char16_t *>(out.data());
    char16_t *const first = to;
    if (origin) {
        origin->clear();
        origin->reserve(text.size());
    }
    const char16_t *from = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char16_t c = from[i];
        if (c < 0x80) {
            // ASCII, most of a log: only the capitals change.
            *to++ = c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
            if (origin)
                origin->append(i);
            continue;
        }
        if (c >= 0xFF01 && c <= 0xFF5E)
            c = char16_t(c - 0xFF01 + 0x21);
        else if (c == 0x3000)
            c = u' ';
        if (c >= u'A' && c <= u'Z') {
            c = char16_t(c + 32);
        } else if (c >= 0xFF61 && c <= 0xFF9D) {
            QChar kana(kHalfKana[c - 0xFF61]);
            if (i + 1 < n) {
                const char16_t mark = from[i + 1];
                const QChar joined = mark == 0xFF9E ? voiced(kana)
                    : mark == 0xFF9F                ? semiVoiced(kana)
                                                    : QChar();
                if (!joined.isNull()) {
                    *to++ = joined.unicode();
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
        *to++ = c;
        if (origin)
            origin->append(i);
    }
    out.resize(to - first);
    return out;
}

} // namespace kavrel::fulltext
