#pragma once
#include <cstddef>
#include <cstdint>

// The packet reader under fuzzing. The first byte of the input picks the
// table (modulo 5, in the order of fuzzTableNames()), the rest is the packet.
enum class FuzzOutcome { NoInput, Refused, Loaded };

// Reads the packet into a plan table the way a plan file is loaded: a packet
// the reader or the table's key refuses is Refused. A loaded table is then
// used (totals, category trees) and written out; reading that back must give
// the same rows. Anything else (another exception, a crash, different rows)
// aborts the process, which is what the fuzzer looks for.
FuzzOutcome pursekeepFuzzOutcome(const uint8_t *data, size_t size);

// The libFuzzer entry: always 0.
int pursekeepFuzzDataPacket(const uint8_t *data, size_t size);
