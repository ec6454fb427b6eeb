// The deletion lists and temporary names.  Everything the signal handler
// reaches is a plain global list; the duplicate checks use side indexes that
// only the main flow touches, so that recording stays linear in the number
// of names.
#include "driver/temp_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_set>

#include "diagnostics/diagnostic.h"
#include "diagnostics/locale_and_quotes.h"
#include "diagnostics/intl.h"
#include "driver/driver.h"
#include "driver/env_manager.h"
#include "support/memory.h"

namespace vorn {

TempFileNode* volatile delete_at_exit = nullptr;
TempFileNode* volatile delete_on_failure = nullptr;

namespace {

struct TempFileIndexes {
  std::unordered_set<std::string> at_exit;
  std::unordered_set<std::string> on_failure;
  const char* directory = nullptr;
};

TempFileIndexes& indexes() {
  static TempFileIndexes* state = new TempFileIndexes;
  return *state;
}

void push_front(TempFileNode* volatile* list, const char* name) {
  TempFileNode* node = static_cast<TempFileNode*>(xmalloc(sizeof(TempFileNode)));
  node->name = xstrdup(name);
  node->next = *list;
  // The node is complete before it becomes visible to a signal handler.
  *list = node;
}

void free_list(TempFileNode* volatile* list) {
  while (*list != nullptr) {
    TempFileNode* node = *list;
    *list = node->next;
    std::free(node->name);
    std::free(node);
  }
}

// The part of remove_if_regular_file that a signal handler may run.
bool unlink_regular_file(const char* name) {
  struct stat info;
  if (stat(name, &info) != 0 || !S_ISREG(info.st_mode)) return true;
  return unlink(name) == 0;
}

bool usable_directory(const char* path) {
  if (path == nullptr) return false;
  struct stat info;
  return access(path, R_OK | W_OK | X_OK) == 0 && stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

const char* choose_temporary_directory() {
  static constexpr char kVariables[][7] = {"TMPDIR", "TMP", "TEMP"};
  static constexpr char kFixed[][9] = {"/tmp/", "/var/tmp", "/tmp"};
  const char* chosen = nullptr;
  for (const char* variable : kVariables) {
    const char* value = env_manager.getenv(variable);
    if (usable_directory(value)) {
      chosen = value;
      break;
    }
  }
  for (std::size_t i = 0; chosen == nullptr && i < sizeof kFixed / sizeof kFixed[0]; ++i) {
    if (usable_directory(kFixed[i])) chosen = kFixed[i];
  }
  if (chosen == nullptr) chosen = ".";
  // One "/" is appended even after a trailing one: the name stays a plain
  // concatenation, which is all the callers need.
  std::string directory = std::string(chosen) + "/";
  return xstrdup(directory.c_str());
}

}  // namespace

void register_temp_file(const char* name, bool at_exit, bool on_failure) {
  // "-" as an output is standard output: a file of that name in the
  // current directory is the user's, whatever happens to the run.
  if (std::strcmp(name, "-") == 0) return;
  TempFileIndexes& state = indexes();
  if (at_exit && state.at_exit.insert(name).second) push_front(&delete_at_exit, name);
  if (on_failure && state.on_failure.insert(name).second) push_front(&delete_on_failure, name);
}

void keep_temp_file(const char* name) {
  if (indexes().at_exit.erase(name) == 0) return;
  for (TempFileNode* volatile* link = &delete_at_exit; *link != nullptr; link = &(*link)->next) {
    TempFileNode* node = *link;
    if (std::strcmp(node->name, name) != 0) continue;
    // Unlinked before it is freed: a signal handler walking the list
    // never meets a freed node.
    *link = node->next;
    std::free(node->name);
    std::free(node);
    return;
  }
}

void remove_if_regular_file(const char* name) {
  if (!unlink_regular_file(name) && verbose_flag()) report_error("%s: %m", name);
}

void remove_temp_files() {
  // The head always names the files not deleted yet, so a signal arriving
  // in the middle finds a consistent list.
  while (delete_at_exit != nullptr) {
    TempFileNode* node = delete_at_exit;
    remove_if_regular_file(node->name);
    delete_at_exit = node->next;
    std::free(node->name);
    std::free(node);
  }
  indexes().at_exit.clear();
}

void remove_failure_files() {
  for (TempFileNode* node = delete_on_failure; node != nullptr; node = node->next)
    remove_if_regular_file(node->name);
}

void forget_failure_files() {
  free_list(&delete_on_failure);
  indexes().on_failure.clear();
}

void remove_files_on_signal() {
  for (TempFileNode* node = delete_on_failure; node != nullptr; node = node->next)
    unlink_regular_file(node->name);
  for (TempFileNode* node = delete_at_exit; node != nullptr; node = node->next)
    unlink_regular_file(node->name);
  // Detached, not freed: freeing is not safe here and the process is about
  // to die anyway.
  delete_at_exit = nullptr;
}

const char* temporary_directory() {
  TempFileIndexes& state = indexes();
  if (state.directory == nullptr) state.directory = choose_temporary_directory();
  return state.directory;
}

const char* new_temp_name_with_prefix(const char* prefix, const char* suffix) {
  const char* directory = temporary_directory();
  if (prefix == nullptr) prefix = "cc";
  if (suffix == nullptr) suffix = "";
  std::string pattern = std::string(directory) + prefix + "XXXXXX" + suffix;
  char* name = xstrdup(pattern.c_str());
  int fd = mkstemps(name, static_cast<int>(std::strlen(suffix)));
  if (fd < 0) {
    const int error = errno;
    ensure_message_locale();  // strerror speaks the message locale
    std::fprintf(stderr, _("Cannot create temporary file in %s: %s\n"), directory,
                 std::strerror(error));
    std::fflush(stderr);
    // Ends at once, but through the exit handler: the temporaries made so
    // far must not be left behind.  Outputs are left alone.
    std::exit(1);
  }
  if (close(fd) != 0) std::exit(1);
  return name;
}

const char* new_temp_name(const char* suffix) {
  return new_temp_name_with_prefix(nullptr, suffix);
}

void reset_temp_files_for_testing() {
  free_list(&delete_at_exit);
  free_list(&delete_on_failure);
  TempFileIndexes& state = indexes();
  state.at_exit.clear();
  state.on_failure.clear();
  std::free(const_cast<char*>(state.directory));
  state.directory = nullptr;
}

}  // namespace vorn
