// The hand-over of a make job server to the link step.
#ifndef VORN_DRIVER_JOBSERVER_HOOK_H
#define VORN_DRIVER_JOBSERVER_HOOK_H

namespace vorn {

// A whole "MAKEFLAGS=..." environment string to give the link step in
// place of the inherited one, or null when the inherited one is fine: a
// job server that MAKEFLAGS names but this process cannot use is taken out,
// so that the link-time children do not wait on closed descriptors.
const char* jobserver_makeflags_replacement();

}  // namespace vorn

#endif  // VORN_DRIVER_JOBSERVER_HOOK_H
