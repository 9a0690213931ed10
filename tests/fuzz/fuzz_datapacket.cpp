// libFuzzer driver for the plan file reader; see CMakeLists.txt here for how
// to build and run it.
#include "fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return pursekeepFuzzDataPacket(data, size);
}
