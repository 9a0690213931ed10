#pragma once
#include "fuzz_entry.h"

#include <cstddef>
#include <cstdint>

// The other readers under fuzzing. Each entry returns what became of the
// input, and aborts the process on anything a reader must never do (another
// exception, a message that does not say where, rows that change when written
// and read again), which is what the fuzzer looks for.

// The CSV import of `pursekeep-cli import`: the first byte picks the table
// (modulo 5, in the order of PlanCsv::tableFiles()), the rest is that table's
// CSV file. Refused when the import refuses it, with messages
// "FILE:LINE: [field 'NAME': ]what is wrong" naming a line of the input and a
// field of the table; a loaded table exports to CSV that imports to the same.
FuzzOutcome pursekeepFuzzCsvOutcome(const uint8_t *data, size_t size);

// The initialisation-file reader: the input is the file. Reads the keys the
// program reads and every key the file seems to hold; always Loaded.
FuzzOutcome pursekeepFuzzIniOutcome(const uint8_t *data, size_t size);

// The list-file reader: the input is the file. Its entries, written as a list
// file is (UTF-8, CR LF after each, with or without a byte-order mark), must
// read back the same; always Loaded.
FuzzOutcome pursekeepFuzzListOutcome(const uint8_t *data, size_t size);

// The libFuzzer entries: always 0.
int pursekeepFuzzCsvImport(const uint8_t *data, size_t size);
int pursekeepFuzzIniFile(const uint8_t *data, size_t size);
int pursekeepFuzzListFile(const uint8_t *data, size_t size);
