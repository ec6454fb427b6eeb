#include "driver/jobserver_hook.h"

namespace vorn {

const char* jobserver_makeflags_replacement() {
  return nullptr;
}

}  // namespace vorn
