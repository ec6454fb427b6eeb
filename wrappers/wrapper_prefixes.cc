#include "wrappers/wrapper_prefixes.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace vorn {

void push_prefix(WrapperPrefixList& list, std::string_view text, bool at_front) {
  if (at_front) {
    list.prefixes.emplace(list.prefixes.begin(), text);
  } else {
    list.prefixes.emplace_back(text);
  }
  if (text.size() > list.max_length) list.max_length = text.size();
}

void push_directory(WrapperPrefixList& list, std::string_view dir) {
  std::string element(dir);
  if (element.empty()) {
    element = "./";
  } else if (element.back() != '/') {
    element += '/';
  }
  push_prefix(list, element, false);
}

void split_search_dirs(std::string_view text, WrapperPrefixList& list) {
  for (;;) {
    std::size_t colon = text.find(':');
    push_directory(list, text.substr(0, colon));
    if (colon == std::string_view::npos) break;
    text.remove_prefix(colon + 1);
  }
}

void env_search_dirs(const char* name, WrapperPrefixList& list) {
  if (const char* value = std::getenv(name)) split_search_dirs(value, list);
}

std::optional<std::string> find_in_prefixes(const WrapperPrefixList& list, std::string_view name,
                                            int mode) {
  if (!name.empty() && name[0] == '/') {
    std::string path(name);
    if (access(path.c_str(), mode) == 0) return path;
    return std::nullopt;
  }
  std::string candidate;
  candidate.reserve(list.max_length + name.size());
  for (const std::string& prefix : list.prefixes) {
    candidate.assign(prefix).append(name);
    struct stat info;
    // A directory that happens to carry the tool's name is not the tool.
    if (stat(candidate.c_str(), &info) == 0 && !S_ISDIR(info.st_mode) &&
        access(candidate.c_str(), mode) == 0) {
      return candidate;
    }
  }
  return std::nullopt;
}

}  // namespace vorn
