// Named specs: the texts that the compilers table, the link step and the
// letter escapes expand by name, and the link command spec.
//
// The built-in specs keep their current text in value slots (one per
// `SpecId`) that the interpreter reads directly through spec_text(); specs
// created later by specs files or define_spec() keep theirs in the record.
#ifndef VORN_SPECS_NAMED_SPECS_H
#define VORN_SPECS_NAMED_SPECS_H

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

#include "support/text_pool.h"

namespace vorn {

// The built-in named specs in list order, then the one entry added at
// start-up ("asm_cpu_spec").
enum class SpecId : int {
  kAsm,
  kAsmDebug,
  kAsmDebugOption,
  kAsmFinal,
  kAsmOptions,
  kInvokeAs,
  kCpp,
  kCppOptions,
  kCppDebugOptions,
  kCppUniqueOptions,
  kTradCapableCpp,
  kCfe1,
  kCfe1Options,
  kCxxfe1,
  kLinkVornCSequence,
  kLinkSsp,
  kEndfile,
  kLink,
  kLib,
  kLinkVomp,
  kLibvorn,
  kStartfile,
  kCrossCompile,
  kVersion,
  kMultilib,
  kMultilibDefaults,
  kMultilibExtra,
  kMultilibMatches,
  kMultilibExclusions,
  kMultilibOptions,
  kMultilibReuse,
  kLinker,
  kLinkerPluginFile,
  kLtoRunner,
  kLtoVorn,
  kPostLink,
  kLinkLibvorn,
  kMdExecPrefix,
  kMdStartfilePrefix,
  kMdStartfilePrefix1,
  kStartfilePrefixSpec,
  kSysrootSpec,
  kSysrootSuffixSpec,
  kSysrootHdrsSuffixSpec,
  kSelfSpec,
  kAsmCpuSpec,
};

inline constexpr int kBuiltinNamedSpecCount = 45;
// The built-in specs plus "asm_cpu_spec": the specs that have a value slot.
inline constexpr int kStaticSpecCount = kBuiltinNamedSpecCount + 1;

struct NamedSpec {
  const char* name;
  // Storage for the text of specs created at run time.
  const char* own_value;
  // Where the current text lives: a built-in value slot, or &own_value.
  const char** value_slot;
  NamedSpec* next;
  int name_length;
  // The text was last set from a user specs file (-specs=).
  bool user;
  // The current text was allocated here and is released when replaced.
  bool owned;
  // The built-in text of the added entry "asm_cpu_spec"; null for others.
  const char* default_text;

  const char* text() const { return *value_slot; }
};

// The current text of a built-in spec; never null.
const char* spec_text(SpecId id);
// The value slot of a built-in spec, for set_static_spec().
const char** spec_slot(SpecId id);

// Installs the built-in list with its start-up rewriting ("libvorn" becomes
// the runtime-library sequence, "link" gets the frame-header prefix).
// VERBOSE (-v) announces it on standard error.
void install_default_specs(bool verbose);

// True once the list has been linked (by install_default_specs or by the
// first define_spec).
bool spec_list_exists();

// Creates or replaces the spec NAME.  A TEXT starting with "+" and a blank
// appends (the blank stays) to the old text.
void define_spec(const char* name, const char* text, bool user);

// Replaces the text of the built-in spec whose value slot is SLOT; an
// unknown slot is an internal error.
void set_static_spec(const char** slot, const char* text, bool owned);

// The spec named exactly NAME, or null.
NamedSpec* find_named_spec(std::string_view name);
// The text of the spec named exactly NAME, or null when there is none.
const char* named_spec_text(std::string_view name);

// The first spec of the list (then follow `next`); null before the list
// exists.
NamedSpec* first_named_spec();

// The link command spec: a text of the run outside the list.
const char* link_command_spec();
void set_link_command_spec(const char* text);

// Writes the list and the link command spec in the -dumpspecs format.
void dump_specs(std::FILE* stream);

// The built-in driver self specs, applied in this order while the specs are
// set up.
inline constexpr std::size_t kDriverSelfSpecCount = 6;
const char* driver_self_spec_at(std::size_t index);
inline constexpr TableView<driver_self_spec_at, kDriverSelfSpecCount> kDriverSelfSpecs{};

// A copy of TEXT that lives as long as the run's state: for texts that
// become specs (the link command read from a specs file, ...).
const char* keep_spec_text(std::string text);

}  // namespace vorn

#endif  // VORN_SPECS_NAMED_SPECS_H
