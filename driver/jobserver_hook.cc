#include "driver/jobserver_hook.h"

#include "driver/env_manager.h"
#include "driver/run_driver.h"
#include "options/jobserver.h"
#include "support/memory.h"

namespace vorn {

const char* jobserver_makeflags_replacement() {
  JobserverInfo info(env_manager().getenv("MAKEFLAGS"));
  if (info.active || info.replacement_makeflags.empty()) return nullptr;
  return xstrdup(info.replacement_makeflags.c_str());
}

}  // namespace vorn
