// Multilib selection: which variant of the target libraries the current
// switches call for.  Six named specs drive it ("multilib",
// "multilib_matches", "multilib_defaults", "multilib_exclusions",
// "multilib_reuse", "multilib_options"; "multilib_extra" only decorates the
// printed table).  The chosen multilib, operating-system and multiarch
// directories are stored in search_paths() (specs/prefixes.h), where the
// prefix walk, "%I" and "%M" read them.
#ifndef VORN_SPECS_MULTILIB_H
#define VORN_SPECS_MULTILIB_H

#include <cstddef>
#include <cstdio>

namespace vorn {

// Chooses the three directories from the switch table; runs once, as the
// last step of the spec set-up.  Malformed strings are fatal errors.
void select_multilib();

// TEXT (LENGTH bytes, without "-") is in force for multilib purposes: a
// switch listed in "multilib_matches", or a default that no alternative of
// its "multilib_options" group contradicts.  The table behind it is built
// from the switch table on the first call.
bool option_in_use(const char* text, std::size_t length);

// TEXT (LENGTH bytes) is one of the words of "multilib_defaults".
bool option_is_default(const char* text, std::size_t length);

// Writes one "DIR;@opt@opt...@extra" line per entry of "multilib" that a
// user can select with distinct options (-print-multi-lib).
void print_multilib_table(std::FILE* stream);

}  // namespace vorn

#endif  // VORN_SPECS_MULTILIB_H
