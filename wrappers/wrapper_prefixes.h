// The directory lists an archive-tool wrapper searches for the linker
// plug-in and the tool it wraps.
#ifndef VORN_WRAPPERS_WRAPPER_PREFIXES_H
#define VORN_WRAPPERS_WRAPPER_PREFIXES_H

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorn {

// Directory prefixes in search order, each normally ending in "/" (a
// one-character -B prefix is kept as given).  MAX_LENGTH is the length of
// the longest prefix ever added.
struct WrapperPrefixList {
  std::vector<std::string> prefixes;
  std::size_t max_length = 0;
};

// Adds a copy of TEXT at the end of LIST, or at its front when AT_FRONT.
void push_prefix(WrapperPrefixList& list, std::string_view text, bool at_front);

// Adds the one directory DIR at the end of LIST, with a "/" appended when it
// lacks one.  A computed directory may contain ":" like any other character.
void push_directory(WrapperPrefixList& list, std::string_view dir);

// Adds every ":"-separated element of TEXT at the end of LIST.  An empty
// element means the current directory ("./"); a "/" is appended to an
// element that lacks one.
void split_search_dirs(std::string_view text, WrapperPrefixList& list);

// split_search_dirs on the value of the environment variable NAME, when it
// is set.
void env_search_dirs(const char* name, WrapperPrefixList& list);

// The first prefix + NAME that exists, is not a directory and is accessible
// with MODE (an access(2) mode); an absolute NAME is taken as it is when it
// is accessible.  Nothing when no candidate qualifies.
std::optional<std::string> find_in_prefixes(const WrapperPrefixList& list, std::string_view name,
                                            int mode);

}  // namespace vorn

#endif  // VORN_WRAPPERS_WRAPPER_PREFIXES_H
