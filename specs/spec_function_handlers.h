// The handlers of the spec-function table, grouped by file.  Internal to
// specs/.
#ifndef VORN_SPECS_SPEC_FUNCTION_HANDLERS_H
#define VORN_SPECS_SPEC_FUNCTION_HANDLERS_H

namespace vorn::spec_functions {

// Environment, files and outputs (spec_functions.cc).
const char* getenv_function(int argc, const char** argv);
const char* if_exists(int argc, const char** argv);
const char* if_exists_else(int argc, const char** argv);
const char* if_exists_then_else(int argc, const char** argv);
const char* sanitize(int argc, const char** argv);
const char* replace_outfile(int argc, const char** argv);
const char* remove_outfile(int argc, const char** argv);
const char* include(int argc, const char** argv);
const char* find_file(int argc, const char** argv);
const char* find_plugindir(int argc, const char** argv);
const char* print_asm_header(int argc, const char** argv);
const char* fortran_preinclude_file(int argc, const char** argv);

// Comparisons (spec_function_compare.cc).
const char* version_compare(int argc, const char** argv);
const char* greater_than(int argc, const char** argv);
const char* debug_level_greater(int argc, const char** argv);
const char* dwarf_version_greater(int argc, const char** argv);

// Dump names, compare-debug and the linker plug-in (spec_function_dumps.cc).
const char* compare_debug_dump_opt(int argc, const char** argv);
const char* compare_debug_self_opt(int argc, const char** argv);
const char* pass_through_libs(int argc, const char** argv);
const char* dumps(int argc, const char** argv);

// AArch64 CPU detection and -mcpu rewriting (spec_function_cpu.cc).
const char* local_cpu_detect(int argc, const char** argv);
const char* rewrite_mcpu(int argc, const char** argv);

}  // namespace vorn::spec_functions

#endif  // VORN_SPECS_SPEC_FUNCTION_HANDLERS_H
