// The driver's side of the spec interpreter's hooks: commands run through
// execute(), the environment is read through the environment manager, and
// temporary names come from the temporary-files module.
#include "driver/spec_hooks_impl.h"

#include "driver/env_manager.h"
#include "driver/execute.h"
#include "driver/temp_files.h"
#include "specs/spec_hooks.h"

namespace vorn {

namespace {

class DriverSpecHooks final : public SpecHooks {
 public:
  int execute(const std::vector<const char*>& arguments) override {
    return vorn::execute(arguments);
  }
  void export_collect_options() override { vorn::export_collect_options(); }
  const char* get_environment(const char* name) override { return env_manager.getenv(name); }
  const char* new_temp_name(const char* suffix) override { return vorn::new_temp_name(suffix); }
  void register_temp_file(const char* name, bool at_exit, bool on_failure) override {
    vorn::register_temp_file(name, at_exit, on_failure);
  }
};

}  // namespace

void install_driver_spec_hooks() {
  static DriverSpecHooks hooks;
  set_spec_hooks(&hooks);
}

}  // namespace vorn
