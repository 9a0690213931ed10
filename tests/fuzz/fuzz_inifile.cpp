// libFuzzer driver for the initialisation-file reader; see CMakeLists.txt
// here for how to build and run it.
#include "fuzz_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return pursekeepFuzzIniFile(data, size);
}
