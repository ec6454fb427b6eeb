// What the spec interpreter asks of the driver core: running a finished
// command, exporting COLLECT_VORN_OPTIONS before it runs, and making and
// recording temporary files.  The driver installs its implementation once;
// tests install recorders.
#ifndef VORN_SPECS_SPEC_HOOKS_H
#define VORN_SPECS_SPEC_HOOKS_H

#include <cstdlib>
#include <vector>

namespace vorn {

class SpecHooks {
 public:
  virtual ~SpecHooks() = default;

  // Runs ARGUMENTS, the words of one command or of a pipeline whose
  // commands are separated by words that are exactly "|".  Returns 0 on
  // success, -1 when a command failed.
  virtual int execute(const std::vector<const char*>& arguments) = 0;

  // Called before each command is executed.
  virtual void export_collect_options() {}

  // The value of the environment variable NAME, or null; the driver reads
  // the environment through its own manager.
  virtual const char* get_environment(const char* name) { return std::getenv(name); }

  // A new, unique temporary file name ending in SUFFIX ("" for none); the
  // file is created so that the name stays reserved.  Lives for the run.
  virtual const char* new_temp_name(const char* suffix) = 0;

  // Records NAME in the list of files deleted at exit and/or in the list of
  // files deleted when the current compilation fails.
  virtual void register_temp_file(const char* name, bool delete_at_exit,
                                  bool delete_on_failure) = 0;
};

// Installs HOOKS for the current run (not owned; must outlive every later
// expansion; null: none) and returns the previous ones (null: none).
SpecHooks* set_spec_hooks(SpecHooks* hooks);
SpecHooks& spec_hooks();

}  // namespace vorn

#endif  // VORN_SPECS_SPEC_HOOKS_H
