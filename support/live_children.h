// The children started and not yet reaped, so that no way out of the
// program leaves one running: a child that went on after the run ended
// would write its output after the run had removed it.
#ifndef VORN_SUPPORT_LIVE_CHILDREN_H
#define VORN_SUPPORT_LIVE_CHILDREN_H

#include <sys/types.h>

namespace vorn {

// Records PID as running (nothing is allocated: the record is a fixed table
// of more children than any pipeline starts; beyond it, a child is not
// recorded).
void note_child_started(pid_t pid);

// Takes PID out again: it was reaped, or it is not ours.
void note_child_gone(pid_t pid);

// Kills (SIGKILL) and reaps every recorded child.  For the way out only:
// no allocation.
void stop_live_children();

}  // namespace vorn

#endif  // VORN_SUPPORT_LIVE_CHILDREN_H
