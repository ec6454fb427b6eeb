#include "tests/faults/fault_control.h"

#include <dlfcn.h>
#include <execinfo.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace fault {

int injected_error = 0;

namespace {

struct FamilyInfo {
  const char* name;
  // The other functions counted and failed as this family, blank-separated.
  const char* members;
  // What a real failure of these calls most often reports.
  int error;
};

// Indexed by Family.
constexpr FamilyInfo kFamilies[] = {
    {"malloc", "calloc realloc aligned_alloc posix_memalign memalign", ENOMEM},
    {"open", "open64 openat openat64 creat creat64 __open_2 __open64_2", EMFILE},
    {"read", "", EIO},
    {"fread", "fgets getc fgetc getline getdelim __getdelim", EIO},
    {"write", "", ENOSPC},
    {"close", "", EIO},
    {"pipe", "pipe2", EMFILE},
    {"dup2", "dup3", EMFILE},
    {"vfork", "fork", EAGAIN},
    {"wait4", "waitpid wait", ECHILD},
    {"mkstemps", "mkstemp mkstemp64 mkstemps64 mkostemp mkostemp64 mkostemps mkostemps64", ENOSPC},
    {"unlink", "unlinkat remove", EACCES},
    {"fopen", "fopen64 fdopen", EMFILE},
    {"fclose", "", EIO},
    {"fflush", "", ENOSPC},
    {"putenv", "", ENOMEM},
    {"setenv", "", ENOMEM},
    {"stat", "stat64 lstat lstat64 fstat fstat64 fstatat fstatat64 statx", EACCES},
    {"access", "faccessat euidaccess eaccess", EACCES},
    {"getcwd", "", EACCES},
    {"realpath", "", EACCES},
    {"execv", "execvp execve execvpe", EACCES},
};
static_assert(sizeof kFamilies / sizeof kFamilies[0] == static_cast<int>(Family::kCount));

// The state of the run, set once by the constructor.
bool active = false;
int chosen = -1;
unsigned long chosen_call = 0;
const char* count_file = nullptr;
const char* log_file = nullptr;
pid_t own_pid = 0;
unsigned long calls[static_cast<int>(Family::kCount)];
// Non-zero while the library works for itself (looking a symbol up, writing
// its files): those calls are passed through uncounted.
int busy = 0;

struct Busy {
  Busy() { ++busy; }
  ~Busy() { --busy; }
};

bool word_in(const char* word, const char* list) {
  std::size_t length = std::strlen(word);
  for (const char* at = list; (at = std::strstr(at, word)) != nullptr; at += length) {
    bool starts = at == list || at[-1] == ' ';
    bool ends = at[length] == '\0' || at[length] == ' ';
    if (starts && ends) return true;
  }
  return false;
}

int family_named(const char* name) {
  for (int i = 0; i < static_cast<int>(Family::kCount); ++i) {
    if (std::strcmp(name, kFamilies[i].name) == 0 || word_in(name, kFamilies[i].members)) return i;
  }
  return -1;
}

// The library's own output goes straight to the descriptor: stdio and the
// heap belong to the program under test.
void put(int fd, const char* text) {
  std::size_t length = std::strlen(text);
  while (length > 0) {
    ssize_t done = ::write(fd, text, length);
    if (done <= 0) return;
    text += done;
    length -= static_cast<std::size_t>(done);
  }
}

void put_number(int fd, unsigned long value, int base) {
  char digits[32];
  char* at = digits + sizeof digits;
  *--at = '\0';
  do {
    *--at = "0123456789abcdef"[value % static_cast<unsigned>(base)];
    value /= static_cast<unsigned>(base);
  } while (value != 0);
  put(fd, at);
}

// The frames of the failing call, as FILE+0xOFFSET that addr2line resolves;
// frames inside this library are left out.
void put_frames(int fd) {
  void* frames[14];
  int depth = backtrace(frames, 14);
  Dl_info self{};
  dladdr(reinterpret_cast<void*>(&put_frames), &self);
  for (int i = 0; i < depth; ++i) {
    Dl_info info{};
    // A return address points after the call; one byte back is inside it.
    void* pc = static_cast<char*>(frames[i]) - 1;
    if (dladdr(pc, &info) == 0 || info.dli_fname == nullptr) continue;
    if (info.dli_fbase == self.dli_fbase) continue;
    put(fd, "  at ");
    put(fd, info.dli_fname);
    put(fd, "+0x");
    put_number(fd, static_cast<unsigned long>(static_cast<char*>(pc) -
                                              static_cast<char*>(info.dli_fbase)),
               16);
    put(fd, "\n");
  }
}

void log_injection(int family, const char* name) {
  if (log_file == nullptr) return;
  int fd = ::open(log_file, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return;
  put(fd, program_invocation_short_name);
  put(fd, ": failed call ");
  put_number(fd, chosen_call, 10);
  put(fd, " of ");
  put(fd, kFamilies[family].name);
  put(fd, " (");
  put(fd, name);
  put(fd, "): ");
  put(fd, strerrorname_np(injected_error) ? strerrorname_np(injected_error) : "?");
  put(fd, "\n");
  put_frames(fd);
  ::close(fd);
}

unsigned long number_from(const char* text) {
  return text == nullptr ? 0 : std::strtoul(text, nullptr, 10);
}

// The children listed for PROCESS by the kernel: those not reaped yet.
int unreaped_children(pid_t process, pid_t* children, int room) {
  char path[64] = "/proc/self/task/";
  char digits[24];
  char* at = digits + sizeof digits;
  *--at = '\0';
  for (unsigned long value = static_cast<unsigned long>(process); value != 0; value /= 10) {
    *--at = static_cast<char>('0' + value % 10);
  }
  std::strcat(path, at);
  std::strcat(path, "/children");
  int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  char text[1024];
  ssize_t length = ::read(fd, text, sizeof text - 1);
  ::close(fd);
  if (length <= 0) return 0;
  text[length] = '\0';
  int count = 0;
  for (char* next = text; *next != '\0' && count < room;) {
    char* end;
    unsigned long pid = std::strtoul(next, &end, 10);
    if (end == next) break;
    children[count++] = static_cast<pid_t>(pid);
    next = end;
  }
  return count;
}

__attribute__((constructor)) void start() {
  Busy busy_here;
  const char* program = std::getenv("VORN_FAULT_PROGRAM");
  if (program == nullptr || std::strcmp(program, program_invocation_short_name) != 0) return;
  active = true;
  own_pid = getpid();
  count_file = std::getenv("VORN_FAULT_COUNT");
  log_file = std::getenv("VORN_FAULT_LOG");
  const char* function = std::getenv("VORN_FAULT_FUNCTION");
  chosen = function == nullptr ? -1 : family_named(function);
  chosen_call = number_from(std::getenv("VORN_FAULT_NTH"));
  if (chosen >= 0) {
    unsigned long error = number_from(std::getenv("VORN_FAULT_ERRNO"));
    injected_error = error != 0 ? static_cast<int>(error) : kFamilies[chosen].error;
  }
  if (function != nullptr && chosen < 0) {
    put(2, "fault library: unknown function family ");
    put(2, function);
    put(2, "\n");
    ::_exit(125);
  }
  // The unwinder is loaded on the first backtrace; loading it now keeps
  // that work out of the failing call.
  if (log_file != nullptr) {
    void* frame;
    backtrace(&frame, 1);
  }
}

__attribute__((destructor)) void finish() {
  write_counts();
}

}  // namespace

bool should_fail(Family family, const char* name) {
  if (!active || busy > 0) return false;
  int index = static_cast<int>(family);
  unsigned long call = ++calls[index];
  if (index != chosen || call != chosen_call) return false;
  Busy busy_here;
  log_injection(index, name);
  return true;
}

void* next_symbol(const char* name) {
  Busy busy_here;
  void* symbol = dlsym(RTLD_NEXT, name);
  if (symbol == nullptr) {
    put(2, "fault library: no next definition of ");
    put(2, name);
    put(2, "\n");
    std::abort();
  }
  return symbol;
}

void settle_children() {
  if (!active || getpid() != own_pid) return;
  Busy busy_here;
  pid_t children[64];
  int count = unreaped_children(own_pid, children, 64);
  for (int i = 0; i < count; ++i) {
    siginfo_t info;
    waitid(P_PID, static_cast<id_t>(children[i]), &info, WEXITED | WNOWAIT);
  }
  if (count == 0 || log_file == nullptr) return;
  int fd = ::open(log_file, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return;
  put(fd, program_invocation_short_name);
  put(fd, ": exit with unreaped children: ");
  put_number(fd, static_cast<unsigned long>(count), 10);
  put(fd, "\n");
  ::close(fd);
}

void write_counts() {
  if (!active || count_file == nullptr || getpid() != own_pid) return;
  Busy busy_here;
  int fd = ::open(count_file, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return;
  for (int i = 0; i < static_cast<int>(Family::kCount); ++i) {
    if (calls[i] == 0) continue;
    put(fd, kFamilies[i].name);
    put(fd, " ");
    put_number(fd, calls[i], 10);
    put(fd, "\n");
  }
  ::close(fd);
}

}  // namespace fault
