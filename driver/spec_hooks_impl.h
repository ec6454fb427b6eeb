// The driver's side of the spec interpreter's hooks (specs/spec_hooks.h).
#ifndef VORN_DRIVER_SPEC_HOOKS_IMPL_H
#define VORN_DRIVER_SPEC_HOOKS_IMPL_H

namespace vorn {

// Makes the spec interpreter run commands, export COLLECT_VORN_OPTIONS,
// read the environment and make temporary files through the driver.
void install_driver_spec_hooks();

}  // namespace vorn

#endif  // VORN_DRIVER_SPEC_HOOKS_IMPL_H
