// The second compilation under -fcompare-debug and the dump comparison.
#include "driver/compare_debug.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "diagnostics/diagnostic.h"
#include "diagnostics/intl.h"
#include "driver/driver.h"
#include "driver/spec_setup.h"
#include "specs/spec_interpreter.h"
#include "specs/switches.h"

namespace vorn {
namespace {

// Runs SPEC in the second compilation's mode and with its switches, and
// leaves both as they were.
int run_second_compilation(const char* spec) {
  CommandLine& line = command_line();
  SwitchTable first = line.switches;
  line.switches = compare_debug_switches();
  line.compare_debug.switch_compilation();
  int status = run_spec(spec);
  line.compare_debug.switch_compilation();
  compare_debug_switches() = line.switches;
  line.switches = first;
  return status;
}

bool regular_file_size(const char* name, off_t* size) {
  struct stat info;
  if (stat(name, &info) != 0 || !S_ISREG(info.st_mode)) return false;
  *size = info.st_size;
  return true;
}

// The fallback when a dump cannot be mapped: both read as streams.
bool compare_streams(const char* input_name, const char* first, const char* second) {
  std::FILE* streams[2] = {std::fopen(first, "rb"), nullptr};
  if (streams[0] == nullptr) {
    report_error(_("%s: could not open compare-debug file %s"), input_name, first);
    return false;
  }
  streams[1] = std::fopen(second, "rb");
  if (streams[1] == nullptr) {
    report_error(_("%s: could not open compare-debug file %s"), input_name, second);
    std::fclose(streams[0]);
    return false;
  }
  bool same = true;
  for (;;) {
    int a = std::getc(streams[0]);
    int b = std::getc(streams[1]);
    // An end may be a read error, which must not pass for the end of a dump.
    const char* unreadable = std::ferror(streams[0])   ? first
                             : std::ferror(streams[1]) ? second
                                                       : nullptr;
    if (unreadable != nullptr) {
      report_error(_("%s: could not read compare-debug file %s"), input_name, unreadable);
      same = false;
      break;
    }
    if (a != b) {
      report_error(_("%s: %<-fcompare-debug%> failure"), input_name);
      same = false;
      break;
    }
    if (a == EOF) break;
  }
  std::fclose(streams[0]);
  std::fclose(streams[1]);
  return same;
}

// A dump mapped into memory, unmapped when it goes out of scope.
struct MappedDump {
  void* data = nullptr;
  std::size_t size = 0;
  MappedDump() = default;
  MappedDump(const MappedDump&) = delete;
  MappedDump& operator=(const MappedDump&) = delete;
  ~MappedDump() {
    if (data != nullptr) munmap(data, size);
  }
};

// Maps NAME read-only; null when it cannot be mapped (the caller falls
// back to streams).  *OPENED tells an open failure from a mapping one.
void* map_file(const char* name, std::size_t size, bool* opened) {
  int fd = open(name, O_RDONLY | O_CLOEXEC);
  *opened = fd >= 0;
  if (fd < 0) return nullptr;
  void* data = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  close(fd);
  return data == MAP_FAILED ? nullptr : data;
}

}  // namespace

bool compare_debug_active() {
  return command_line().compare_debug.active();
}

void forget_compare_debug_dumps() {
  CompileProgress& progress = compile_progress();
  progress.debug_check_dump[0] = nullptr;
  progress.debug_check_dump[1] = nullptr;
}

bool recompile_and_compare(const char* spec, const char* input_name) {
  CompileProgress& progress = compile_progress();
  if (progress.debug_check_dump[0] == nullptr) return true;
  if (verbose_flag()) inform(current_location, _("recompiling with %<-fcompare-debug%>"));
  if (run_second_compilation(spec) < 0) {
    report_error(_("during %<-fcompare-debug%> recompilation"));
    return false;
  }
  const char* first = progress.debug_check_dump[0];
  const char* second = progress.debug_check_dump[1];
  if (first == nullptr || second == nullptr || std::strcmp(first, second) == 0) {
    internal_error("compare-debug dumps are missing or the same file");
  }
  if (verbose_flag()) inform(current_location, _("comparing final insns dumps"));
  return compare_debug_dumps(input_name, first, second);
}

bool compare_debug_dumps(const char* input_name, const char* first, const char* second) {
  off_t sizes[2];
  const char* names[2] = {first, second};
  for (int i = 0; i < 2; ++i) {
    if (!regular_file_size(names[i], &sizes[i])) {
      report_error(_("%s: could not determine length of compare-debug file %s"), input_name,
                   names[i]);
      return false;
    }
  }
  if (sizes[0] != sizes[1]) {
    report_error(_("%s: %<-fcompare-debug%> failure (length)"), input_name);
    return false;
  }
  // mmap refuses empty files; two empty dumps are equal.
  if (sizes[0] == 0) return true;
  std::size_t size = static_cast<std::size_t>(sizes[0]);
  MappedDump dumps[2];
  for (int i = 0; i < 2; ++i) {
    bool opened = false;
    dumps[i].data = map_file(names[i], size, &opened);
    dumps[i].size = size;
    if (!opened) {
      report_error(_("%s: could not open compare-debug file %s"), input_name, names[i]);
      return false;
    }
  }
  if (dumps[0].data == nullptr || dumps[1].data == nullptr) {
    return compare_streams(input_name, first, second);
  }
  bool same = std::memcmp(dumps[0].data, dumps[1].data, size) == 0;
  if (!same) report_error(_("%s: %<-fcompare-debug%> failure"), input_name);
  return same;
}

}  // namespace vorn
