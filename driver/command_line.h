// Command-line processing: turning the decoded options into the switch
// table and the input list, applying the driver's own options, and fixing
// the installation prefixes and the dump naming.
#ifndef VORN_DRIVER_COMMAND_LINE_H
#define VORN_DRIVER_COMMAND_LINE_H

#include <cstddef>
#include <cstdint>

#include "diagnostics/diagnostic_kinds.h"
#include "diagnostics/source_location.h"
#include "options/decoded_option.h"
#include "options/option_handlers.h"

namespace vorn {

struct DiagnosticContext;

// Runs once, inside the spec set-up: fills command_line() and
// driver_state() from the COUNT decoded OPTIONS (entry 0 is the program
// name), or ends the run with a fatal error.
void process_command(std::size_t count, const DecodedOption* options);

// The handlers and callbacks with which the driver applies options, also
// for options that self specs produce.
const OptionHandlers& driver_option_handlers();

// Applies one decoded option as if given on the command line.
void apply_driver_option(const DecodedOption* decoded);

// The driver's handler in the option machinery's handler list; true when
// the option was handled.
bool driver_handle_option(OptionsRecord* options, OptionsRecord* explicitly_set,
                          const DecodedOption* decoded, std::uint32_t language_mask,
                          DiagnosticKind kind, SourceLocation location,
                          const OptionHandlers* handlers, DiagnosticContext* diagnostics,
                          TargetOverrideHook target_override);

// Records an unknown option as a switch that specs may still accept; it
// is reported once, after the specs are set up, if none did.  Returns false
// so that the decoder does not report it at once.
bool driver_unknown_option_callback(const DecodedOption* decoded);

// An option that exists, but not for the driver.
void driver_wrong_language_callback(const DecodedOption* decoded, std::uint32_t language_mask);

// While self specs are applied, the options that steer this run itself
// (-o, -fcompare-debug*) are only recorded, not obeyed.
void set_self_spec_mode(bool on);

// The dump and auxiliary-file naming, from the state the options left in
// command_line() and driver_state().  WPA tells whether -fwpa is in force.
void compute_dump_naming(bool wpa);

// The checks of -o against the inputs: an empty name, or an input that is
// the output file, is fatal.
void check_output_file();

// Sets SOURCE_DATE_EPOCH to the current time unless it is already set.
void set_source_date_epoch();

// The offload check of one target name (LENGTH characters of NAME): this
// configuration supports none, so only an empty name passes; any other is
// reported.
bool check_offload_target_name(const char* name, std::size_t length);

// The installation prefixes: the steps of process_command that depend on
// ARGV0, the program name as run, and on the environment.
void set_up_installation_prefixes(const char* argv0, const char* exec_prefix_env);
void add_environment_path_prefixes();
void add_configured_prefixes();

}  // namespace vorn

#endif  // VORN_DRIVER_COMMAND_LINE_H
