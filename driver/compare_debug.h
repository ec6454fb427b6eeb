// -fcompare-debug: the second compilation of an input with its own switch
// table, and the comparison of the two final-insns dumps.
#ifndef VORN_DRIVER_COMPARE_DEBUG_H
#define VORN_DRIVER_COMPARE_DEBUG_H

namespace vorn {

// True when -fcompare-debug is in force for this run.
bool compare_debug_active();

// Forgets both dump names, so that each input starts afresh.
void forget_compare_debug_dumps();

// After the first compilation of INPUT_NAME with SPEC succeeded: when that
// compilation named a dump, compiles again and compares the dumps.
// Returns false when the input failed (the error is reported).
bool recompile_and_compare(const char* spec, const char* input_name);

// Compares the dump files FIRST and SECOND of INPUT_NAME byte for byte;
// reports the difference and returns false when they differ or cannot be
// read.
bool compare_debug_dumps(const char* input_name, const char* first, const char* second);

}  // namespace vorn

#endif  // VORN_DRIVER_COMPARE_DEBUG_H
