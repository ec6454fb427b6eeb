#include "support/live_children.h"

#include <sys/wait.h>

#include <cerrno>
#include <csignal>

namespace vorn {
namespace {

// A plain table, constant-initialised; 0 marks a free slot.
constexpr int kMaxLiveChildren = 64;
pid_t live_children[kMaxLiveChildren] = {};

}  // namespace

void note_child_started(pid_t pid) {
  for (pid_t& slot : live_children) {
    if (slot == 0) {
      slot = pid;
      return;
    }
  }
}

void note_child_gone(pid_t pid) {
  for (pid_t& slot : live_children) {
    if (slot == pid) slot = 0;
  }
}

void stop_live_children() {
  for (pid_t& slot : live_children) {
    if (slot == 0) continue;
    kill(slot, SIGKILL);
    int status;
    while (waitpid(slot, &status, 0) < 0 && errno == EINTR) {
    }
    slot = 0;
  }
}

}  // namespace vorn
