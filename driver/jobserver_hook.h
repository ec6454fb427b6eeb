// The hand-over of a make jobserver to the link step.
#ifndef VORN_DRIVER_JOBSERVER_HOOK_H
#define VORN_DRIVER_JOBSERVER_HOOK_H

namespace vorn {

// A whole "MAKEFLAGS=..." environment string to give the link step in
// place of the inherited one, or null when the inherited one is fine.
// Detecting the jobserver is not done yet: the make flags always pass
// unchanged.
const char* jobserver_makeflags_replacement();

}  // namespace vorn

#endif  // VORN_DRIVER_JOBSERVER_HOOK_H
