// The prefix lists and the insertion of prefixes: priorities, relocation
// below $<COMPONENT>_ROOT and the tidying of "dir/../" pieces.
#include "specs/prefixes.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "config.h"
#include "diagnostics/diagnostic.h"
#include "specs/run_specs.h"
#include "support/memory.h"

namespace vorn {
namespace {

const char* system_getenv(const char* name) {
  return std::getenv(name);
}

// A value of $X_ROOT may itself start with "@" or "$"; translation stops
// after this many rounds instead of looping for ever.
constexpr int kMaxTranslations = 32;

// Length of PREFIX without its trailing "/" characters (a root "/" keeps
// nothing), so that "/usr/local/" and "/usr/local" match the same paths.
std::size_t significant_length(const char* prefix) {
  std::size_t length = std::strlen(prefix);
  while (length > 0 && prefix[length - 1] == '/') --length;
  return length;
}

// The path with its first "@KEY" or "$KEY" replaced by the key's value.
std::string translate_once(const std::string& path) {
  std::size_t slash = path.find('/');
  std::string key = path.substr(1, slash == std::string::npos ? std::string::npos : slash - 1);
  std::string rest = slash == std::string::npos ? "" : path.substr(slash);
  const SearchPaths& paths = search_paths();
  const char* value;
  if (path[0] == '@') {
    value = paths.getenv((key + "_ROOT").c_str());
    if (value == nullptr) value = paths.standard_prefix;
  } else {
    value = paths.getenv(key.c_str());
  }
  if (value == nullptr) value = config::kStandardPrefix;
  std::string joined = value;
  // A value written with a trailing "/" must not double the separator.
  if (!joined.empty() && joined.back() == '/' && !rest.empty()) joined.pop_back();
  return joined + rest;
}

std::string translate_standard_prefix(const char* path, const char* component) {
  const char* standard = search_paths().standard_prefix;
  std::size_t length = significant_length(standard);
  bool matches = component != nullptr && std::strncmp(path, standard, length) == 0 &&
                 (path[length] == '/' || path[length] == '\0');
  if (!matches) return path;
  std::string moved = component[0] == '$' ? component : std::string("@") + component;
  moved += path + length;
  for (int round = 0; round < kMaxTranslations && (moved[0] == '@' || moved[0] == '$'); ++round) {
    moved = translate_once(moved);
  }
  return moved;
}

// The start of the component that ends just before END (END is the
// position of the "/" characters in front of ".."): just after the
// previous "/", or 0.
std::size_t component_start(const std::string& path, std::size_t end) {
  while (end > 0 && path[end - 1] == '/') --end;
  while (end > 0 && path[end - 1] != '/') --end;
  return end;
}

// Removes "missing/../" pieces: a directory that cannot be searched does not
// exist for the system either, so stepping into it and back out only makes
// the path fail.  Stops at the first piece whose directory exists.
void tidy_parent_references(std::string& path) {
  std::size_t from = 0;
  for (;;) {
    std::size_t dots = path.find("/../", from);
    if (dots == std::string::npos) return;
    if (dots == 0) {
      from = 1;
      continue;
    }
    if (access(path.substr(0, dots + 1).c_str(), X_OK) == 0) return;
    std::size_t start = component_start(path, dots);
    while (start > 0 && path[start] == '.') start = component_start(path, start - 1);
    if (path[start] == '.' || path[start] == '/') return;
    std::size_t end = dots + 4;
    while (end < path.size() && path[end] == '/') ++end;
    path.erase(start, end - start);
    from = start > 0 ? start - 1 : 0;
  }
}

}  // namespace

SearchPaths::SearchPaths() : standard_prefix(config::kStandardPrefix), getenv(system_getenv) {}

SearchPaths& search_paths() {
  return run_specs().search_paths;
}

void compute_search_suffixes() {
  static const std::string target = std::string(config::kTargetMachine) + "/";
  static const std::string machine = target + config::kVersion + "/";
  search_paths().target_suffix = target.c_str();
  search_paths().machine_suffix = machine.c_str();
}

char* relocate_prefix(const char* path, const char* component) {
  std::string result = translate_standard_prefix(path, component);
  tidy_parent_references(result);
  return xstrdup(result.c_str());
}

void set_standard_prefix(const char* text, std::size_t length) {
  std::string& storage = run_specs().standard_prefix;
  storage.assign(text, length);
  search_paths().standard_prefix = storage.c_str();
}

void add_search_prefix(PrefixList* list, const char* prefix, const char* component, int priority,
                       int require_machine_suffix, bool os_multilib) {
  SearchPrefix** link = &list->first;
  while (*link != nullptr && (*link)->priority <= priority) link = &(*link)->next;

  SearchPrefix* added = static_cast<SearchPrefix*>(xmalloc(sizeof(SearchPrefix)));
  added->prefix = relocate_prefix(prefix, component);
  added->next = *link;
  added->require_machine_suffix = require_machine_suffix;
  added->priority = priority;
  added->os_multilib = os_multilib;
  *link = added;

  std::size_t length = std::strlen(added->prefix);
  if (length > list->max_length) list->max_length = length;
}

void add_search_prefix_under_sysroot(const char* prefix, const char* component) {
  if (prefix[0] != '/') fatal_error(current_location, "system path %qs is not absolute", prefix);
  const SearchPaths& paths = search_paths();
  std::string path = prefix;
  if (paths.target_system_root != nullptr) {
    std::string root = paths.target_system_root;
    if (!root.empty() && root.back() == '/') root.pop_back();
    if (paths.target_sysroot_suffix != nullptr) root += paths.target_sysroot_suffix;
    path = root + path;
    component = "VORN";
  }
  add_search_prefix(&search_paths().startfile_prefixes, path.c_str(), component,
                    kPrefixPriorityOther, kPrefixPlain, true);
}

}  // namespace vorn
