// libFuzzer entry: build with clang and -DKAVREL_FUZZ=ON, run as
//   build/fuzz/tests/fuzz/fuzz_readpath tests/fuzz/corpus

#include "ReadPathFuzz.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    kavrel::fuzz::runReadPath(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    return 0;
}
