// The information queries: what the driver answers instead of (or before)
// compiling.  answer_queries() (a CompilerDriver phase) picks the query;
// the texts it prints live here so that other reports can reuse them.
#ifndef VORN_DRIVER_QUERIES_H
#define VORN_DRIVER_QUERIES_H

#include <cstdio>

namespace vorn {

// The configuration report of -v: target, configure line, thread model,
// compression algorithms and the version line.
void print_configuration_report(std::FILE* stream);

// The usage text of --help for PROGRAM; VERBOSE (-v) drops the hint that
// -v --help shows the sub-processes' options.
void print_usage(std::FILE* stream, const char* program, bool verbose);

// The --version banner for PROGRAM and the notice of rights and warranty.
void print_version_banner(std::FILE* stream, const char* program);

}  // namespace vorn

#endif  // VORN_DRIVER_QUERIES_H
