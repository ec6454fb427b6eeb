// The memory, environment and process calls the fault library can fail.
#include <malloc.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/faults/fault_control.h"

using fault::failed;
using fault::Family;
using fault::next;
using fault::should_fail;

// The allocator's own entry points: calling them needs no lookup, so the
// allocation functions work before anything is resolved (dlsym itself
// allocates), and memory from either side is released by the one free.
extern "C" void* __libc_malloc(size_t size);
extern "C" void* __libc_calloc(size_t count, size_t size);
extern "C" void* __libc_realloc(void* memory, size_t size);
extern "C" void* __libc_memalign(size_t alignment, size_t size);

#ifndef VORN_FAULT_NO_ALLOCATION
extern "C" void* malloc(size_t size) {
  if (should_fail(Family::kMalloc, "malloc")) return failed<void*>(nullptr);
  return __libc_malloc(size);
}

extern "C" void* calloc(size_t count, size_t size) {
  if (should_fail(Family::kMalloc, "calloc")) return failed<void*>(nullptr);
  return __libc_calloc(count, size);
}

// A failing realloc leaves the old block as it was.
extern "C" void* realloc(void* memory, size_t size) {
  if (should_fail(Family::kMalloc, "realloc")) return failed<void*>(nullptr);
  return __libc_realloc(memory, size);
}

extern "C" void* aligned_alloc(size_t alignment, size_t size) {
  if (should_fail(Family::kMalloc, "aligned_alloc")) return failed<void*>(nullptr);
  return __libc_memalign(alignment, size);
}

extern "C" void* memalign(size_t alignment, size_t size) {
  if (should_fail(Family::kMalloc, "memalign")) return failed<void*>(nullptr);
  return __libc_memalign(alignment, size);
}

extern "C" int posix_memalign(void** memory, size_t alignment, size_t size) {
  if (alignment == 0 || (alignment & (alignment - 1)) != 0 || alignment % sizeof(void*) != 0) {
    return EINVAL;
  }
  if (should_fail(Family::kMalloc, "posix_memalign")) return ENOMEM;
  void* block = __libc_memalign(alignment, size);
  if (block == nullptr) return ENOMEM;
  *memory = block;
  return 0;
}
#endif

FAULT_WRAPPER(kPipe, int, pipe, (int fds[2]), (fds), -1)
FAULT_WRAPPER(kPipe, int, pipe2, (int fds[2], int flags), (fds, flags), -1)
FAULT_WRAPPER(kDup2, int, dup2, (int from, int to), (from, to), -1)
FAULT_WRAPPER(kDup2, int, dup3, (int from, int to, int flags), (from, to, flags), -1)
FAULT_WRAPPER(kVfork, pid_t, fork, (), (), -1)

FAULT_WRAPPER(kPutenv, int, putenv, (char* text), (text), -1)
FAULT_WRAPPER(kSetenv, int, setenv, (const char* name, const char* value, int replace),
              (name, value, replace), -1)

FAULT_WRAPPER(kExecv, int, execv, (const char* path, char* const argv[]), (path, argv), -1)
FAULT_WRAPPER(kExecv, int, execvp, (const char* file, char* const argv[]), (file, argv), -1)
FAULT_WRAPPER(kExecv, int, execve, (const char* path, char* const argv[], char* const envp[]),
              (path, argv, envp), -1)
FAULT_WRAPPER(kExecv, int, execvpe, (const char* file, char* const argv[], char* const envp[]),
              (file, argv, envp), -1)

namespace {

// Before a wait is failed, the child is let finish (and left unreaped), so
// that whatever the child still does is over when the program under test
// reacts, and a run's outcome does not depend on timing.
void await_without_reaping(pid_t pid, int options) {
  if ((options & WNOHANG) != 0) return;
  siginfo_t info;
  idtype_t type = pid > 0 ? P_PID : pid == -1 ? P_ALL : P_PGID;
  id_t id = pid > 0 ? static_cast<id_t>(pid) : pid < -1 ? static_cast<id_t>(-pid) : 0;
  waitid(type, id, &info, WEXITED | WNOWAIT);
}

}  // namespace

extern "C" pid_t wait4(pid_t pid, int* status, int options, struct rusage* usage) {
  static decltype(&::wait4) real;
  if (should_fail(Family::kWait4, "wait4")) {
    await_without_reaping(pid, options);
    return failed<pid_t>(-1);
  }
  return next(real, "wait4")(pid, status, options, usage);
}

extern "C" pid_t waitpid(pid_t pid, int* status, int options) {
  static decltype(&::waitpid) real;
  if (should_fail(Family::kWait4, "waitpid")) {
    await_without_reaping(pid, options);
    return failed<pid_t>(-1);
  }
  return next(real, "waitpid")(pid, status, options);
}

extern "C" pid_t wait(int* status) {
  static decltype(&::wait) real;
  if (should_fail(Family::kWait4, "wait")) {
    await_without_reaping(-1, 0);
    return failed<pid_t>(-1);
  }
  return next(real, "wait")(status);
}

extern "C" [[noreturn]] void exit(int status) {
  static decltype(&::exit) real;
  fault::settle_children();
  next(real, "exit")(status);
  __builtin_unreachable();
}

// An exit that skips the exit handlers would skip the counts too.
extern "C" [[noreturn]] void _exit(int status) {
  static decltype(&::_exit) real;
  fault::write_counts();
  next(real, "_exit")(status);
  __builtin_unreachable();
}

extern "C" [[noreturn]] void _Exit(int status) {
  static decltype(&::_Exit) real;
  fault::write_counts();
  next(real, "_Exit")(status);
  __builtin_unreachable();
}
