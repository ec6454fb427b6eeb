#include "support/process_exit.h"

#include <signal.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "support/coverage_counts.h"
#include "support/live_children.h"

namespace vorn {
namespace {

// Plain globals, constant-initialised: the way out may be taken before
// anything else ran, and from a signal handler.
ExitCleanup exit_cleanup = nullptr;
volatile sig_atomic_t exit_started = 0;

constexpr int kMaxMessagePieces = 16;

// The signals whose handler would start a second ending while this one
// runs: a broken pipe met while flushing, say, must not turn the status
// into a death by signal.
void block_ending_signals() {
  sigset_t signals;
  sigemptyset(&signals);
  for (int signal_number : {SIGINT, SIGHUP, SIGTERM, SIGPIPE}) sigaddset(&signals, signal_number);
  sigprocmask(SIG_BLOCK, &signals, nullptr);
}

void run_cleanup(Ending ending) {
  ExitCleanup cleanup = exit_cleanup;
  if (cleanup != nullptr) cleanup(ending);
}

}  // namespace

void set_exit_cleanup(ExitCleanup cleanup) {
  exit_cleanup = cleanup;
}

void exit_process(int status) {
  exit_process(status, status == 0 ? Ending::kSuccess : Ending::kFailure);
}

void exit_process(int status, Ending ending) {
  // An ending begun once is not begun again: whatever fails while the files
  // go (there is little that can) ends the process on the spot.
  if (exit_started == 0) {
    exit_started = 1;
    block_ending_signals();
    std::fflush(stderr);
    stop_live_children();
    run_cleanup(ending);
    // Last, since a reader that stopped reading could block it.
    std::fflush(nullptr);
  }
  save_coverage_counts();
  _exit(status);
}

void die_of_signal(int signal_number) {
  signal(signal_number, SIG_DFL);
  if (exit_started == 0) {
    exit_started = 1;
    run_cleanup(Ending::kSignal);
  }
  save_coverage_counts();
  // The signal is blocked while its handler runs; unblocked, it is
  // delivered at once with its default action.
  kill(getpid(), signal_number);
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, signal_number);
  sigprocmask(SIG_UNBLOCK, &signals, nullptr);
  // Only a signal that does not end a process by default gets here.
  _exit(128 + signal_number);
}

void abort_process() {
  die_of_signal(SIGABRT);
}

void write_exit_message(const char* const* pieces, int count) {
  iovec vectors[kMaxMessagePieces];
  int used = 0;
  for (int i = 0; i < count && used < kMaxMessagePieces; ++i) {
    if (pieces[i] == nullptr || pieces[i][0] == '\0') continue;
    vectors[used].iov_base = const_cast<char*>(pieces[i]);
    vectors[used].iov_len = std::strlen(pieces[i]);
    ++used;
  }
  iovec* next = vectors;
  while (used > 0) {
    ssize_t written = writev(STDERR_FILENO, next, used);
    if (written < 0 && errno == EINTR) continue;
    // A failing standard error while ending: nothing better can be done.
    if (written <= 0) return;
    std::size_t left = static_cast<std::size_t>(written);
    while (used > 0 && left >= next->iov_len) {
      left -= next->iov_len;
      ++next;
      --used;
    }
    if (used > 0) {
      next->iov_base = static_cast<char*>(next->iov_base) + left;
      next->iov_len -= left;
    }
  }
}

}  // namespace vorn
