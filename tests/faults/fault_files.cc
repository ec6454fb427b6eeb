// The file-system calls the fault library can fail: opening, reading,
// writing, closing, creating temporaries, removing, and asking about files.
// Each passes through to the C library unless it is the chosen call, which
// fails the way the real call does (for close and fclose: after really
// releasing the descriptor, as Linux always does).
#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/faults/fault_control.h"

using fault::failed;
using fault::Family;
using fault::next;
using fault::should_fail;

namespace {

// The mode argument of an open that may create the file.
mode_t mode_of(int flags, va_list args) {
  if ((flags & O_CREAT) == 0 && (flags & O_TMPFILE) != O_TMPFILE) return 0;
  return static_cast<mode_t>(va_arg(args, int));
}

// Marks STREAM as having seen an error, as a failing read or flush does, so
// that ferror tells the program what happened.
void mark_error(FILE* stream) {
  if (stream != nullptr) stream->_flags |= _IO_ERR_SEEN;
}

}  // namespace

#define FAULT_OPEN(name, params, args)                                \
  extern "C" int name params {                                        \
    static decltype(&::name) real;                                    \
    va_list list;                                                     \
    va_start(list, flags);                                            \
    mode_t mode = mode_of(flags, list);                               \
    va_end(list);                                                     \
    if (should_fail(Family::kOpen, #name)) return failed(-1);         \
    return next(real, #name) args;                                    \
  }
FAULT_OPEN(open, (const char* path, int flags, ...), (path, flags, mode))
FAULT_OPEN(open64, (const char* path, int flags, ...), (path, flags, mode))
FAULT_OPEN(openat, (int dir, const char* path, int flags, ...), (dir, path, flags, mode))
FAULT_OPEN(openat64, (int dir, const char* path, int flags, ...), (dir, path, flags, mode))
#undef FAULT_OPEN

// The checked forms that fortified code calls instead of open.
FAULT_WRAPPER(kOpen, int, __open_2, (const char* path, int flags), (path, flags), -1)
FAULT_WRAPPER(kOpen, int, __open64_2, (const char* path, int flags), (path, flags), -1)

FAULT_WRAPPER(kOpen, int, creat, (const char* path, mode_t mode), (path, mode), -1)
FAULT_WRAPPER(kRead, ssize_t, read, (int fd, void* buffer, size_t size), (fd, buffer, size), -1)
FAULT_WRAPPER(kWrite, ssize_t, write, (int fd, const void* buffer, size_t size),
              (fd, buffer, size), -1)

extern "C" int close(int fd) {
  static decltype(&::close) real;
  int result = next(real, "close")(fd);
  if (result == 0 && should_fail(Family::kClose, "close")) return failed(-1);
  return result;
}

// Reads through a stream: the chosen call reads nothing, returns the
// function's end-or-error value and leaves the stream's error indicator set.
#define FAULT_STREAM_READ(result, name, params, args, failure)     \
  extern "C" result name params {                                  \
    static decltype(&::name) real;                                 \
    if (should_fail(Family::kFread, #name)) {                      \
      mark_error(stream);                                          \
      return failed<result>(failure);                              \
    }                                                              \
    return next(real, #name) args;                                 \
  }
FAULT_STREAM_READ(size_t, fread, (void* buffer, size_t size, size_t count, FILE* stream),
                  (buffer, size, count, stream), 0)
FAULT_STREAM_READ(char*, fgets, (char* buffer, int size, FILE* stream), (buffer, size, stream),
                  nullptr)
FAULT_STREAM_READ(int, getc, (FILE* stream), (stream), EOF)
FAULT_STREAM_READ(int, fgetc, (FILE* stream), (stream), EOF)
FAULT_STREAM_READ(ssize_t, __getdelim,
                  (char** line, size_t* capacity, int delimiter, FILE* stream),
                  (line, capacity, delimiter, stream), -1)
FAULT_STREAM_READ(ssize_t, getdelim, (char** line, size_t* capacity, int delimiter, FILE* stream),
                  (line, capacity, delimiter, stream), -1)
FAULT_STREAM_READ(ssize_t, getline, (char** line, size_t* capacity, FILE* stream),
                  (line, capacity, stream), -1)
#undef FAULT_STREAM_READ

FAULT_WRAPPER(kFopen, FILE*, fopen, (const char* path, const char* mode), (path, mode), nullptr)
FAULT_WRAPPER(kFopen, FILE*, fopen64, (const char* path, const char* mode), (path, mode), nullptr)
FAULT_WRAPPER(kFopen, FILE*, fdopen, (int fd, const char* mode), (fd, mode), nullptr)

extern "C" int fclose(FILE* stream) {
  static decltype(&::fclose) real;
  int result = next(real, "fclose")(stream);
  if (result == 0 && should_fail(Family::kFclose, "fclose")) return failed(EOF);
  return result;
}

// The data is written all the same: what is being tested is whether the
// program notices the reported failure, not what it loses.
extern "C" int fflush(FILE* stream) {
  static decltype(&::fflush) real;
  int result = next(real, "fflush")(stream);
  if (result == 0 && should_fail(Family::kFflush, "fflush")) {
    mark_error(stream);
    return failed(EOF);
  }
  return result;
}

FAULT_WRAPPER(kMkstemps, int, mkstemp, (char* pattern), (pattern), -1)
FAULT_WRAPPER(kMkstemps, int, mkstemp64, (char* pattern), (pattern), -1)
FAULT_WRAPPER(kMkstemps, int, mkstemps, (char* pattern, int suffix), (pattern, suffix), -1)
FAULT_WRAPPER(kMkstemps, int, mkstemps64, (char* pattern, int suffix), (pattern, suffix), -1)
FAULT_WRAPPER(kMkstemps, int, mkostemp, (char* pattern, int flags), (pattern, flags), -1)
FAULT_WRAPPER(kMkstemps, int, mkostemp64, (char* pattern, int flags), (pattern, flags), -1)
FAULT_WRAPPER(kMkstemps, int, mkostemps, (char* pattern, int suffix, int flags),
              (pattern, suffix, flags), -1)
FAULT_WRAPPER(kMkstemps, int, mkostemps64, (char* pattern, int suffix, int flags),
              (pattern, suffix, flags), -1)

FAULT_WRAPPER(kUnlink, int, unlink, (const char* path), (path), -1)
FAULT_WRAPPER(kUnlink, int, unlinkat, (int dir, const char* path, int flags), (dir, path, flags),
              -1)
FAULT_WRAPPER(kUnlink, int, remove, (const char* path), (path), -1)

FAULT_WRAPPER(kStat, int, stat, (const char* path, struct stat* info), (path, info), -1)
FAULT_WRAPPER(kStat, int, stat64, (const char* path, struct stat64* info), (path, info), -1)
FAULT_WRAPPER(kStat, int, lstat, (const char* path, struct stat* info), (path, info), -1)
FAULT_WRAPPER(kStat, int, lstat64, (const char* path, struct stat64* info), (path, info), -1)
FAULT_WRAPPER(kStat, int, fstat, (int fd, struct stat* info), (fd, info), -1)
FAULT_WRAPPER(kStat, int, fstat64, (int fd, struct stat64* info), (fd, info), -1)
FAULT_WRAPPER(kStat, int, fstatat, (int dir, const char* path, struct stat* info, int flags),
              (dir, path, info, flags), -1)
FAULT_WRAPPER(kStat, int, fstatat64, (int dir, const char* path, struct stat64* info, int flags),
              (dir, path, info, flags), -1)
FAULT_WRAPPER(kStat, int, statx,
              (int dir, const char* path, int flags, unsigned int mask, struct statx* info),
              (dir, path, flags, mask, info), -1)

FAULT_WRAPPER(kAccess, int, access, (const char* path, int mode), (path, mode), -1)
FAULT_WRAPPER(kAccess, int, faccessat, (int dir, const char* path, int mode, int flags),
              (dir, path, mode, flags), -1)
FAULT_WRAPPER(kAccess, int, euidaccess, (const char* path, int mode), (path, mode), -1)
FAULT_WRAPPER(kAccess, int, eaccess, (const char* path, int mode), (path, mode), -1)

FAULT_WRAPPER(kGetcwd, char*, getcwd, (char* buffer, size_t size), (buffer, size), nullptr)
FAULT_WRAPPER(kRealpath, char*, realpath, (const char* path, char* resolved), (path, resolved),
              nullptr)
