#pragma once

#include <QtGlobal>

// The double-byte half of code page 932 as data; Cp932.cpp builds its
// lookup tables from it once.
namespace kavrel::cp932::detail {

// Characters for trail bytes 0x40-0x7E then 0x80-0xFC; U+FFFD where the pair
// is not a character.
constexpr int kTrailCount = 188;

struct DoubleByteRow
{
    unsigned char lead;
    char16_t chars[kTrailCount + 1];
};

// Characters the encoder writes although no code decodes to them.
struct EncodeOnly
{
    char16_t ch;
    quint16 code;
};

extern const DoubleByteRow kDoubleByteRows[];
extern const qsizetype kDoubleByteRowCount;
extern const EncodeOnly kEncodeOnly[];
extern const qsizetype kEncodeOnlyCount;

} // namespace kavrel::cp932::detail
