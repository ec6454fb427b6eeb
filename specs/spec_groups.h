// Conditional groups "%{...}" and the switch rules behind them: whether a
// recorded switch is in force, how it is copied into a command, and which
// switches the specs name at all.
#ifndef VORN_SPECS_SPEC_GROUPS_H
#define VORN_SPECS_SPEC_GROUPS_H

#include <cstddef>

namespace vorn {

// Interprets the group whose text starts at P (just after "{").  Returns
// the position after its closing "}", or null when a nested expansion
// failed.  Malformed groups are fatal errors.
const char* handle_group(const char* p);

// Whether switch INDEX is in force.  PREFIX_LENGTH is the length of a
// starred atom that matched it, or -1 for an exact match; the first real
// test decides for good whether a later switch cancels this one.
bool switch_is_live(std::size_t index, int prefix_length);

// Copies switch INDEX (its name unless OMIT_NAME, then its separate
// arguments) into the command being built.
void emit_switch(std::size_t index, bool omit_name);

// Marks the switches named by the atoms starting at P (just after "{" when
// BRACED, just after "<" otherwise) as validated, recursively through group
// bodies.  USER_SPEC accepts switches the option machinery does not know.
// Returns the position after what was scanned.
const char* validate_spec_switches(const char* p, bool user_spec, bool braced);

// Applies validate_spec_switches to every "%{", "%<", "%W{" and "%@{" of
// SPEC.
void validate_switches_in_spec(const char* spec, bool user_spec);

// Validates the switches named by every spec: the compilers table, the
// named specs and the link command.  With USE_BUILTIN_ATOMS a text that is
// still built-in is not scanned: its atoms were derived at build time.
// Either way the same switches end up validated.
void validate_switches_in_all_specs(bool use_builtin_atoms = true);

}  // namespace vorn

#endif  // VORN_SPECS_SPEC_GROUPS_H
