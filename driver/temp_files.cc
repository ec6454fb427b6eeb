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
#include "diagnostics/intl.h"
#include "diagnostics/locale_and_quotes.h"
#include "driver/driver.h"
#include "driver/env_manager.h"
#include "driver/run_driver.h"
#include "support/memory.h"
#include "support/process_exit.h"
#include "support/system_error.h"

namespace vorn {

TempFileNode* volatile delete_at_exit = nullptr;
TempFileNode* volatile delete_on_failure = nullptr;

namespace {

// Whether -v is in force, copied here whenever a name is recorded: the way
// out reports a failed deletion under -v and may read no run state.  The
// kind text is translated then too, since translating may set up the
// catalogue, which the way out must not.
bool report_exit_deletions = false;
const char* exit_error_kind = nullptr;  // set with report_exit_deletions

void note_verbosity() {
  report_exit_deletions = verbose_flag();
  if (report_exit_deletions) exit_error_kind = _("error: ");
}

TempFileIndexes& indexes() {
  return run_driver().temp_files;
}

TempFileNode* new_node(const char* name) {
  TempFileNode* node = static_cast<TempFileNode*>(xmalloc(sizeof(TempFileNode)));
  node->name = xstrdup(name);
  node->next = nullptr;
  return node;
}

// The node is complete before it becomes visible to a signal handler.
void publish(TempFileNode* volatile* list, TempFileNode* node) {
  node->next = *list;
  *list = node;
}

void push_front(TempFileNode* volatile* list, const char* name) {
  publish(list, new_node(name));
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

// The same deletion rule on the way out: a failure is reported, under -v,
// with one raw write, since the diagnostics layer is not entered again
// once the run has ended.
void remove_if_regular_file(const char* name, bool report) {
  if (unlink_regular_file(name) || !report) return;
  const char* pieces[] = {memory_program_name(),    ": ", exit_error_kind, name, ": ",
                          system_error_text(errno), "\n"};
  write_exit_message(pieces, static_cast<int>(sizeof pieces / sizeof pieces[0]));
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
    const char* value = env_manager().getenv(variable);
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

TempFileIndexes::~TempFileIndexes() {
  std::free(const_cast<char*>(directory));
}

void register_temp_file(const char* name, bool at_exit, bool on_failure) {
  // "-" as an output is standard output: a file of that name in the
  // current directory is the user's, whatever happens to the run.
  if (std::strcmp(name, "-") == 0) return;
  note_verbosity();
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

void remove_files_at_exit(Ending ending) {
  bool report = report_exit_deletions && ending != Ending::kSignal;
  if (ending == Ending::kFailure || ending == Ending::kSignal) {
    for (TempFileNode* node = delete_on_failure; node != nullptr; node = node->next)
      remove_if_regular_file(node->name, report);
  }
  for (TempFileNode* node = delete_at_exit; node != nullptr; node = node->next)
    remove_if_regular_file(node->name, report);
  // Detached, not freed: freeing is not safe in a signal handler, and the
  // process is about to end anyway.
  delete_at_exit = nullptr;
}

const char* temporary_directory() {
  TempFileIndexes& state = indexes();
  if (state.directory == nullptr) state.directory = choose_temporary_directory();
  return state.directory;
}

// Ends the run after a temporary could not be made.  Outputs stay: nothing
// has been run for them yet.
[[noreturn]] void temporary_creation_failure(const char* directory, int error) {
  ensure_message_locale();  // strerror speaks the message locale
  std::fprintf(stderr, _("Cannot create temporary file in %s: %s\n"), directory,
               std::strerror(error));
  std::fflush(stderr);
  exit_process(1, Ending::kKeepOutputs);
}

const char* new_temp_name_with_prefix(const char* prefix, const char* suffix) {
  note_verbosity();
  const char* directory = temporary_directory();
  if (prefix == nullptr) prefix = "cc";
  if (suffix == nullptr) suffix = "";
  std::string pattern = std::string(directory) + prefix + "XXXXXX" + suffix;
  char* name = xstrdup(pattern.c_str());
  // The list node is made before the file: from the moment the file exists
  // until the run ends, every way out must find it, with no allocation in
  // between that could fail.
  TempFileNode* node = new_node(name);
  int fd = mkstemps(name, static_cast<int>(std::strlen(suffix)));
  if (fd < 0) temporary_creation_failure(directory, errno);
  std::memcpy(node->name, name, pattern.size());
  publish(&delete_at_exit, node);
  indexes().at_exit.insert(name);
  if (close(fd) != 0) temporary_creation_failure(directory, errno);
  return name;
}

const char* new_temp_name(const char* suffix) {
  return new_temp_name_with_prefix(nullptr, suffix);
}

}  // namespace vorn
