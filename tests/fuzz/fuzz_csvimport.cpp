// libFuzzer driver for the CSV import of pursekeep-cli; see CMakeLists.txt
// here for how to build and run it.
#include "fuzz_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return pursekeepFuzzCsvImport(data, size);
}
