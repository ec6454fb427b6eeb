#include "support/relative_prefix.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

namespace vorn {
namespace {

// True when PATH names a regular file that we may execute.
bool is_executable_file(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// A program run without a directory part was found through PATH; the first
// PATH entry holding it is where it really is.  An empty entry is the
// current directory.  Without a hit the name stays as it is.
std::string find_in_path(std::string_view program, const char* path_value) {
  std::string_view path = path_value;
  while (true) {
    std::size_t colon = path.find(':');
    std::string dir(path.substr(0, colon));
    if (dir.empty()) dir = "./";
    if (dir.back() != '/') dir += '/';
    std::string candidate = dir + std::string(program);
    if (is_executable_file(candidate)) return candidate;
    if (colon == std::string_view::npos) return std::string(program);
    path.remove_prefix(colon + 1);
  }
}

// Symbolic links and "." or ".." parts resolved; the path as given when that
// is impossible (e.g. it does not exist).
std::string canonical_path(const std::string& path) {
  char* resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return path;
  std::string result(resolved);
  std::free(resolved);
  return result;
}

// "/usr//lib/vorn" -> "/", "usr//", "lib/", "vorn": every component keeps
// the separator that ends it, and a run of "/" is one separator.
std::vector<std::string_view> split_components(std::string_view path) {
  std::vector<std::string_view> components;
  // One allocation: there are at most as many components as separators + 1.
  components.reserve(static_cast<std::size_t>(std::count(path.begin(), path.end(), '/')) + 1);
  std::size_t start = 0;
  while (start < path.size()) {
    std::size_t slash = path.find('/', start);
    if (slash == std::string_view::npos) {
      components.push_back(path.substr(start));
      break;
    }
    std::size_t end = path.find_first_not_of('/', slash);
    if (end == std::string_view::npos) end = path.size();
    components.push_back(path.substr(start, end - start));
    start = end;
  }
  return components;
}

std::size_t count_shared_components(const std::vector<std::string_view>& a,
                                    const std::vector<std::string_view>& b) {
  std::size_t shared = 0;
  while (shared < a.size() && shared < b.size() && a[shared] == b[shared]) ++shared;
  return shared;
}

}  // namespace

std::optional<std::string> make_relative_prefix(std::string_view program,
                                                std::string_view bin_prefix,
                                                std::string_view prefix, SymlinkMode links,
                                                const char* path_value) {
  std::string full_program(program);
  if (!program.empty() && program.find('/') == std::string_view::npos && path_value) {
    full_program = find_in_path(program, path_value);
  }
  if (links == SymlinkMode::kResolve) full_program = canonical_path(full_program);

  std::vector<std::string_view> program_dirs = split_components(full_program);
  if (!program_dirs.empty()) program_dirs.pop_back();  // the program's own name
  std::vector<std::string_view> bin_dirs = split_components(bin_prefix);
  std::vector<std::string_view> prefix_dirs = split_components(prefix);

  // A program still where it was configured to be needs no relocation.
  if (program_dirs.empty() || program_dirs == bin_dirs) return std::nullopt;

  std::size_t shared = count_shared_components(bin_dirs, prefix_dirs);
  if (shared == 0) return std::nullopt;

  // From the program's real directory, climb out of the part of BIN_PREFIX
  // that PREFIX does not share, then descend into the rest of PREFIX.  A
  // relative program directory gives a result relative to the current
  // directory, which is where the program was run from.
  std::string result;
  for (std::string_view dir : program_dirs) result += dir;
  for (std::size_t i = shared; i < bin_dirs.size(); ++i) result += "../";
  for (std::size_t i = shared; i < prefix_dirs.size(); ++i) result += prefix_dirs[i];
  return result;
}

std::optional<std::string> make_relative_prefix(std::string_view program,
                                                std::string_view bin_prefix,
                                                std::string_view prefix, SymlinkMode links) {
  return make_relative_prefix(program, bin_prefix, prefix, links, std::getenv("PATH"));
}

}  // namespace vorn
