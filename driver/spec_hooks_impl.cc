#include "driver/spec_hooks_impl.h"

#include "driver/env_manager.h"
#include "driver/execute.h"
#include "driver/run_driver.h"
#include "driver/temp_files.h"

namespace vorn {

int DriverSpecHooks::execute(const std::vector<const char*>& arguments) {
  return vorn::execute(arguments);
}

void DriverSpecHooks::export_collect_options() {
  vorn::export_collect_options();
}

const char* DriverSpecHooks::get_environment(const char* name) {
  return env_manager().getenv(name);
}

const char* DriverSpecHooks::new_temp_name(const char* suffix) {
  return vorn::new_temp_name(suffix);
}

void DriverSpecHooks::register_temp_file(const char* name, bool at_exit, bool on_failure) {
  vorn::register_temp_file(name, at_exit, on_failure);
}

}  // namespace vorn
