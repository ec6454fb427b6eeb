// The driver's side of the spec interpreter's hooks (specs/spec_hooks.h).
#ifndef VORN_DRIVER_SPEC_HOOKS_IMPL_H
#define VORN_DRIVER_SPEC_HOOKS_IMPL_H

#include <vector>

#include "specs/spec_hooks.h"

namespace vorn {

// Commands run through execute(), the environment is read through the
// environment manager, and temporary names come from the temporary-files
// module.
class DriverSpecHooks final : public SpecHooks {
 public:
  int execute(const std::vector<const char*>& arguments) override;
  void export_collect_options() override;
  const char* get_environment(const char* name) override;
  const char* new_temp_name(const char* suffix) override;
  void register_temp_file(const char* name, bool at_exit, bool on_failure) override;
};

}  // namespace vorn

#endif  // VORN_DRIVER_SPEC_HOOKS_IMPL_H
