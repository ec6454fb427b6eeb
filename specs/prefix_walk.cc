// Walking a prefix list with its machine, target, multilib,
// operating-system and multiarch subdirectories, and the lookups built on
// the walk.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "config.h"
#include "specs/prefixes.h"
#include "support/memory.h"

namespace vorn {
namespace {

// "." stands for no directory.
const char* directory_part(const char* dir) {
  if (dir == nullptr || std::strcmp(dir, ".") == 0) return nullptr;
  return dir;
}

// The subdirectory texts of one walk, each ending in "/"; empty when absent.
struct WalkParts {
  std::string machine;    // machine suffix (+ multilib part in the first pass)
  std::string target;     // target suffix (+ multilib part in the first pass)
  std::string multilib;   // multilib directory + "/"
  std::string os;         // operating-system multilib directory + "/"
  std::string multiarch;  // multiarch directory + "/"
};

class Walk {
 public:
  Walk(const PrefixList* list, std::size_t extra, PathVisitor callback, void* data)
      : list_(list), extra_(extra), callback_(callback), data_(data) {}

  ~Walk() {
    if (!buffer_kept_) std::free(buffer_);
  }

  void* run(bool do_multilib);

 private:
  // Calls the callback with PREFIX + PART; true when it answered.
  bool try_path(const char* prefix, const std::string& part);
  bool first_pass(const WalkParts& parts);
  bool second_pass(const WalkParts& parts, bool had_multilib, bool had_os);

  const PrefixList* list_;
  std::size_t extra_;
  PathVisitor callback_;
  void* data_;
  char* buffer_ = nullptr;
  std::size_t capacity_ = 0;
  void* result_ = nullptr;
  bool buffer_kept_ = false;
};

bool Walk::try_path(const char* prefix, const std::string& part) {
  std::size_t prefix_length = std::strlen(prefix);
  std::size_t needed = prefix_length + part.size() + extra_ + 1;
  if (needed > capacity_) {
    buffer_ = static_cast<char*>(xrealloc(buffer_, needed));
    capacity_ = needed;
  }
  std::memcpy(buffer_, prefix, prefix_length);
  std::memcpy(buffer_ + prefix_length, part.data(), part.size());
  buffer_[prefix_length + part.size()] = '\0';
  result_ = callback_(buffer_, data_);
  if (result_ == nullptr) return false;
  buffer_kept_ = result_ == buffer_;
  return true;
}

bool Walk::first_pass(const WalkParts& parts) {
  for (const SearchPrefix* p = list_->first; p != nullptr; p = p->next) {
    if (try_path(p->prefix, parts.machine)) return true;
    if (p->require_machine_suffix == kPrefixMachineTarget && try_path(p->prefix, parts.target)) {
      return true;
    }
    if (p->require_machine_suffix != kPrefixPlain) continue;
    if (!parts.multiarch.empty() && try_path(p->prefix, parts.multiarch)) return true;
    if (try_path(p->prefix, p->os_multilib ? parts.os : parts.multilib)) return true;
  }
  return false;
}

// The plain forms, skipping what the first pass already tried.
bool Walk::second_pass(const WalkParts& parts, bool had_multilib, bool had_os) {
  for (const SearchPrefix* p = list_->first; p != nullptr; p = p->next) {
    if (had_multilib) {
      if (try_path(p->prefix, parts.machine)) return true;
      if (p->require_machine_suffix == kPrefixMachineTarget && try_path(p->prefix, parts.target)) {
        return true;
      }
    }
    if (p->require_machine_suffix != kPrefixPlain) continue;
    if (had_multilib && !parts.multiarch.empty() && try_path(p->prefix, parts.multiarch)) {
      return true;
    }
    bool plain_tried = p->os_multilib ? !had_os : !had_multilib;
    if (!plain_tried && try_path(p->prefix, "")) return true;
  }
  return false;
}

void* Walk::run(bool do_multilib) {
  const SearchPaths& paths = search_paths();
  WalkParts parts;
  const char* multilib = do_multilib ? directory_part(paths.multilib_dir) : nullptr;
  const char* os = do_multilib ? directory_part(paths.multilib_os_dir) : nullptr;
  if (multilib != nullptr) parts.multilib = std::string(multilib) + "/";
  if (os != nullptr) parts.os = std::string(os) + "/";
  if (paths.multiarch_dir != nullptr) parts.multiarch = std::string(paths.multiarch_dir) + "/";
  parts.machine = paths.machine_suffix + parts.multilib;
  parts.target = paths.target_suffix + parts.multilib;

  if (first_pass(parts)) return result_;
  if (multilib == nullptr && os == nullptr) return nullptr;
  parts.machine = paths.machine_suffix;
  parts.target = paths.target_suffix;
  if (second_pass(parts, multilib != nullptr, os != nullptr)) return result_;
  return nullptr;
}

struct FileQuery {
  const char* name;
  int mode;
};

bool names_non_directory(const char* path) {
  struct stat info;
  return stat(path, &info) == 0 && !S_ISDIR(info.st_mode);
}

void* try_file(char* path, void* data) {
  const FileQuery* query = static_cast<const FileQuery*>(data);
  std::strcat(path, query->name);
  if (access(path, query->mode) != 0) return nullptr;
  if ((query->mode & X_OK) != 0 && !names_non_directory(path)) return nullptr;
  return path;
}

struct JoinedList {
  std::string text;
  bool check_dir;
  bool first = true;
};

void* append_directory(char* path, void* data) {
  JoinedList* joined = static_cast<JoinedList*>(data);
  if (joined->check_dir && !is_search_directory(path, false)) return nullptr;
  if (!joined->first) joined->text += ':';
  joined->text += path;
  joined->first = false;
  return nullptr;
}

bool executable(const char* path) {
  return path[0] != '\0' && access(path, X_OK) == 0;
}

}  // namespace

void* visit_search_paths(const PrefixList* list, bool do_multilib, std::size_t extra,
                         PathVisitor callback, void* data) {
  Walk walk(list, extra, callback, data);
  return walk.run(do_multilib);
}

char* locate_file(const PrefixList* list, const char* name, int mode, bool do_multilib) {
  if (name[0] == '/') return access(name, mode) == 0 ? xstrdup(name) : nullptr;
  FileQuery query{name, mode};
  return static_cast<char*>(
      visit_search_paths(list, do_multilib, std::strlen(name) + 1, try_file, &query));
}

char* locate_program(const char* name) {
  if (std::strcmp(name, "as") == 0 && executable(config::kDefaultAssembler)) {
    return xstrdup(config::kDefaultAssembler);
  }
  if (std::strcmp(name, "ld") == 0 && executable(config::kDefaultLinker)) {
    return xstrdup(config::kDefaultLinker);
  }
  return locate_file(&search_paths().exec_prefixes, name, X_OK, false);
}

char* join_search_list(const PrefixList* list, const char* variable, bool check_dir,
                       bool do_multilib) {
  JoinedList joined{std::string(variable) + "=", check_dir};
  visit_search_paths(list, do_multilib, 0, append_directory, &joined);
  return xstrdup(joined.text.c_str());
}

bool is_search_directory(const char* path, bool for_linker) {
  std::size_t length = std::strlen(path);
  std::string probe = path;
  probe += length > 0 && path[length - 1] == '/' ? "." : "/.";
  struct stat info;
  // "NAME/." exists only when NAME is a directory.
  if (stat(probe.c_str(), &info) != 0) return false;
  if (for_linker && (std::strcmp(path, "/lib/") == 0 || std::strcmp(path, "/usr/lib/") == 0)) {
    return false;
  }
  return true;
}

}  // namespace vorn
