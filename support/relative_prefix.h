// Relocation of configured installation directories: given where a program
// really is and where it was configured to be, find where a configured
// sibling directory really is.
#ifndef VORN_SUPPORT_RELATIVE_PREFIX_H
#define VORN_SUPPORT_RELATIVE_PREFIX_H

#include <optional>
#include <string>
#include <string_view>

namespace vorn {

enum class SymlinkMode { kResolve, kKeep };

// PROGRAM is the program's path as it was run (argv[0]); BIN_PREFIX is the
// configured directory of the program and PREFIX the configured directory
// wanted.  A PROGRAM without a directory part is first looked up in PATH_VALUE
// (the value of PATH; null when PATH is unset).  The result is PROGRAM's
// directory, "../" for every component of BIN_PREFIX beyond those it shares
// with PREFIX, and the rest of PREFIX; nothing when the program sits in
// BIN_PREFIX itself, has no directory, or BIN_PREFIX and PREFIX share no
// component.
std::optional<std::string> make_relative_prefix(std::string_view program,
                                                std::string_view bin_prefix,
                                                std::string_view prefix, SymlinkMode links,
                                                const char* path_value);

// The same with PATH read from the environment.
std::optional<std::string> make_relative_prefix(std::string_view program,
                                                std::string_view bin_prefix,
                                                std::string_view prefix,
                                                SymlinkMode links = SymlinkMode::kResolve);

}  // namespace vorn

#endif  // VORN_SUPPORT_RELATIVE_PREFIX_H
