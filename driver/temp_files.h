// Temporary and output files: the two deletion lists, the choice of the
// temporary directory, unique temporary names, and careful deletion.
//
// The lists are read by the signal handler, so they are plain singly linked
// nodes reachable from two globals; the main flow changes them one node at
// a time by pointer assignment and never while a deletion walks them.
#ifndef VORN_DRIVER_TEMP_FILES_H
#define VORN_DRIVER_TEMP_FILES_H

#include <string>
#include <unordered_set>

#include "support/process_exit.h"

namespace vorn {

struct TempFileNode {
  char* name;  // an owned copy
  TempFileNode* next;
};

// Deleted at the end of the run whatever its outcome: temporaries.
extern TempFileNode* volatile delete_at_exit;
// Deleted when the compilation that produced them fails, and at the end of
// a run that reported errors: outputs named by the user or by specs.
extern TempFileNode* volatile delete_on_failure;

// The main flow's side of the lists, which the signal handler never
// reads: the names in each, so that recording stays linear in the number
// of names, and the temporary directory once chosen.
struct TempFileIndexes {
  TempFileIndexes() = default;
  TempFileIndexes(const TempFileIndexes&) = delete;
  TempFileIndexes& operator=(const TempFileIndexes&) = delete;
  ~TempFileIndexes();

  std::unordered_set<std::string> at_exit;
  std::unordered_set<std::string> on_failure;
  const char* directory = nullptr;  // owned; null until chosen
};

// Records a copy of NAME in each list whose flag is set, unless an equal
// name is already there.  New names go to the front.  "-" (standard
// output) is never recorded.
void register_temp_file(const char* name, bool at_exit, bool on_failure);

// Takes NAME out of delete_at_exit again: a temporary that turned out to
// be worth keeping (the -freport-bug reproduction file).
void keep_temp_file(const char* name);

// Deletes NAME only if it currently names a regular file.  A failing unlink
// is reported ("%s: %m") only under -v; everything else is silent.
void remove_if_regular_file(const char* name);

// Deletes every name in delete_at_exit, newest first, and empties the list.
// Also the process exit handler.
void remove_temp_files();

// Deletes every name in delete_on_failure, newest first; keeps the list.
void remove_failure_files();

// Empties delete_on_failure without deleting anything: the outputs of a
// successful compilation survive later failures.
void forget_failure_files();

// The driver's cleanup on its way out (support/process_exit.h), the signal
// handler's included: deletes the names of delete_on_failure unless ENDING
// keeps outputs, then those of delete_at_exit, and detaches delete_at_exit.
// Walks the plain lists only; no allocation, and a failed deletion is
// reported under -v with a raw write (not at all for kSignal).
void remove_files_at_exit(Ending ending);

// The directory for temporary files, chosen once and ending in "/".
const char* temporary_directory();

// A new, created (empty, mode 0600) temporary file "<dir>cc<random><SUFFIX>";
// SUFFIX and PREFIX may be null.  The name is in delete_at_exit from the
// moment the file exists.  Failing to create or close it prints
// "Cannot create temporary file in %s: %s" and ends the process at once,
// removing the temporaries (this one included) but no output.
// The name lives for the rest of the run.
const char* new_temp_name(const char* suffix);
const char* new_temp_name_with_prefix(const char* prefix, const char* suffix);

}  // namespace vorn

#endif  // VORN_DRIVER_TEMP_FILES_H
