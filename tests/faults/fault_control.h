// The fault library's control: which calls it counts, which one it fails,
// and what it writes about them.  Loaded with LD_PRELOAD into every process
// of a run, it acts in one program only, chosen by name, so the children the
// driver starts run undisturbed.
//
//   VORN_FAULT_PROGRAM=vorn-cxx  the program under test (the last component
//                                of its argv[0]); unset: the library only
//                                passes every call through
//   VORN_FAULT_FUNCTION=close    the function family to fail (a family name
//                                below, or any function it holds)
//   VORN_FAULT_NTH=3             which call of that family fails (from 1);
//                                only that one, every other call succeeds
//   VORN_FAULT_ERRNO=5           the error number to fail with, instead of
//                                the family's usual one
//   VORN_FAULT_COUNT=FILE        write "FAMILY CALLS" lines to FILE when the
//                                program exits (counting mode)
//   VORN_FAULT_LOG=FILE          append a line and the calling frames to FILE
//                                when the failure is injected, and a line
//                                when the program exits with children it has
//                                not reaped
//
// Calls are counted from the library's constructor on, which runs before the
// program's own constructors: the program's static initialisation is part of
// the run, the dynamic loader's work before it is not.  Calls the library
// makes for itself are never counted.  Between vfork and exec the child shares
// the counters, so the calls it makes there (dup2, close, execv) are counted
// and can be failed like the parent's.
#ifndef VORN_TESTS_FAULTS_FAULT_CONTROL_H_
#define VORN_TESTS_FAULTS_FAULT_CONTROL_H_

#include <cerrno>

namespace fault {

enum class Family {
  kMalloc,
  kOpen,
  kRead,
  kFread,
  kWrite,
  kClose,
  kPipe,
  kDup2,
  kVfork,
  kWait4,
  kMkstemps,
  kUnlink,
  kFopen,
  kFclose,
  kFflush,
  kPutenv,
  kSetenv,
  kStat,
  kAccess,
  kGetcwd,
  kRealpath,
  kExecv,
  kCount
};

// Counts one call of FAMILY (made through NAME) and says whether it is the
// call to fail.  The caller then fails it with `failed`.
bool should_fail(Family family, const char* name);

// Sets errno to the error this injection uses and returns RESULT, the
// function's failure value.
template <typename T>
T failed(T result) {
  extern int injected_error;
  errno = injected_error;
  return result;
}

// The next definition of NAME after this library (dlsym with RTLD_NEXT),
// looked up once into SLOT.
void* next_symbol(const char* name);
template <typename F>
F* next(F*& slot, const char* name) {
  if (slot == nullptr) slot = reinterpret_cast<F*>(next_symbol(name));
  return slot;
}

// Defines the C library function NAME (taking PARAMS, called with ARGS) as
// one that fails its chosen call with FAILURE and passes every other call on.
#define FAULT_WRAPPER(family, result, name, params, args, failure)                   \
  extern "C" result name params {                                                   \
    static decltype(&::name) real;                                                  \
    if (fault::should_fail(fault::Family::family, #name)) return fault::failed<result>(failure); \
    return fault::next(real, #name) args;                                           \
  }

// Before the program exits: lets every child it has not reaped finish (and
// leaves it unreaped), so that what a child still writes is written before
// the exit handlers remove the temporaries, not sometimes after; and logs how
// many there were.
void settle_children();

// Writes the counts file of counting mode, when this is the process that
// loaded the library (not a vfork child on its way out).
void write_counts();

}  // namespace fault

#endif  // VORN_TESTS_FAULTS_FAULT_CONTROL_H_
