// The job server a parallel make may pass down in MAKEFLAGS, and whether
// this process can actually use it.
#ifndef VORN_OPTIONS_JOBSERVER_H
#define VORN_OPTIONS_JOBSERVER_H

#include <string>

namespace vorn {

struct JobserverInfo {
  // Reads MAKEFLAGS from the environment.
  JobserverInfo();
  // Examines MAKEFLAGS (null when it is not set).
  explicit JobserverInfo(const char* makeflags);

  int read_fd = -1;
  int write_fd = -1;
  std::string pipe_path;  // for a named-pipe job server
  bool active = false;
  // "MAKEFLAGS=..." without the job-server word when the job server is
  // named but unusable, so that children do not use closed descriptors;
  // empty otherwise.
  std::string replacement_makeflags;
};

}  // namespace vorn

#endif  // VORN_OPTIONS_JOBSERVER_H
