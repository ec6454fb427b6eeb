// Which recorded switches are in force, how one is copied into a command,
// and which switches the specs name (validation).
#include <algorithm>
#include <deque>
#include <string>
#include <string_view>

#include "specs/builtin_switch_atoms.h"
#include "specs/compilers_table.h"
#include "specs/named_specs.h"
#include "specs/run_specs.h"
#include "specs/spec_groups.h"
#include "specs/spec_interpreter.h"
#include "specs/spec_state.h"
#include "specs/switch_atom_scan.h"
#include "specs/switch_index.h"
#include "support/memory.h"

namespace vorn {
namespace {

// Rebuilt only when the table changes, so that testing every switch of a
// long command line stays linear.
const SwitchTextIndex& switch_index(const SwitchTable& table) {
  SwitchTextIndex& index = run_specs().switch_index;
  index.update(table);
  return index;
}

// "-Wno-x" is cancelled by a later "-Wx", and "-Wx" by a later "-Wno-x".
bool cancelled_by_opposite(const SwitchTable& table, std::size_t i) {
  std::string_view text(table[i].text);
  TextPieces opposite;
  if (text.substr(1, 3) == "no-") {
    opposite = TextPieces{text.substr(0, 1), text.substr(4), {}};
  } else {
    opposite = TextPieces{text.substr(0, 1), "no-", text.substr(1)};
  }
  return switch_index(table).last_position(opposite) > static_cast<std::ptrdiff_t>(i);
}

bool is_live_liveness(std::uint32_t liveness) {
  return (liveness & kSwitchLive) != 0 &&
         (liveness & (kSwitchCancelled | kSwitchIgnoredForGood)) == 0;
}

// ARGUMENT with the suffix substitution in place of its last suffix (or
// appended when its last component has none).
std::string substitute_suffix(const char* argument, const char* substitution) {
  std::string_view text(argument);
  std::size_t slash = text.rfind('/');
  std::size_t start = slash == std::string_view::npos ? 0 : slash + 1;
  std::size_t dot = text.rfind('.');
  std::string result(text);
  if (dot != std::string_view::npos && dot >= start) result.resize(dot);
  result += substitution;
  return result;
}

}  // namespace

bool switch_is_live(std::size_t index, int prefix_length) {
  SwitchTable& table = command_line().switches;
  CommandSwitch& sw = table[index];
  if (sw.liveness != 0) return is_live_liveness(sw.liveness);
  if (prefix_length == 0 || prefix_length == 1) return true;
  switch (sw.text[0]) {
    case 'O':
      if (switch_index(table).last_optimization() > static_cast<std::ptrdiff_t>(index)) {
        sw.validated = true;
        sw.liveness = kSwitchCancelled;
        return false;
      }
      break;
    case 'W':
    case 'f':
    case 'g':
    case 'm':
      if (cancelled_by_opposite(table, index)) {
        if (sw.known) sw.validated = true;
        sw.liveness = kSwitchCancelled;
        return false;
      }
      break;
    default:
      break;
  }
  sw.liveness = kSwitchLive;
  return true;
}

void emit_switch(std::size_t index, bool omit_name) {
  CommandSwitch& sw = command_line().switches[index];
  if ((sw.liveness & kSwitchIgnored) != 0) return;
  if (!omit_name) {
    do_spec_1("-", false, nullptr);
    do_spec_1(sw.text, true, nullptr);
  }
  if (sw.arguments != nullptr) {
    for (const char** argument = sw.arguments; *argument != nullptr; ++argument) {
      do_spec_1(" ", false, nullptr);
      const char* substitution = spec_state().suffix_substitution;
      if (substitution != nullptr) {
        std::string replaced = substitute_suffix(*argument, substitution);
        do_spec_1(replaced.c_str(), true, nullptr);
      } else {
        do_spec_1(*argument, true, nullptr);
      }
    }
  }
  do_spec_1(" ", false, nullptr);
  sw.validated = true;
}

namespace {

void mark_validated(std::string_view name, bool starred, bool user_spec) {
  for (CommandSwitch& sw : command_line().switches) {
    if (!switch_text_matches(sw.text, name, starred)) continue;
    if (sw.known || user_spec) sw.validated = true;
  }
}

struct MarkValidated {
  bool user_spec;
  void operator()(std::string_view name, bool starred) const {
    mark_validated(name, starred, user_spec);
  }
};

void validate_atoms(const SwitchAtomRange& range, bool user_spec) {
  const PackedSwitchAtom* atom = kBuiltinSwitchAtoms + range.first;
  for (const PackedSwitchAtom* end = atom + range.count; atom != end; ++atom) {
    mark_validated(switch_atom_name(*atom), atom->starred, user_spec);
  }
}

// The atoms known from the build when there are some, else a scan.
// A missing text (no link command from a main specs file) names nothing.
void validate_text(const char* text, const SwitchAtomRange* atoms, bool user_spec) {
  if (text == nullptr) return;
  if (atoms != nullptr) {
    validate_atoms(*atoms, user_spec);
  } else {
    validate_switches_in_spec(text, user_spec);
  }
}

// True when every spec has its installed built-in text, as just after
// start-up without specs files: then the union of their atoms says it all.
// The compilers table only ever grows past its built-in entries, and a
// linked list holds every built-in spec, so sizes and texts tell.
bool all_specs_builtin() {
  if (compilers_table().size() != kBuiltinCompilerCount) return false;
  if (first_named_spec() == nullptr) return false;  // not linked yet: nothing installed
  for (NamedSpec* spec = first_named_spec(); spec != nullptr; spec = spec->next) {
    const SwitchAtomRange* atoms = builtin_switch_atoms(*spec);
    if (spec->user || atoms == nullptr ||
        atoms == &kBuiltinNamedSpecAtoms[static_cast<int>(SpecId::kLink)] ||
        atoms == &kBuiltinNamedSpecAtoms[static_cast<int>(SpecId::kLibvorn)]) {
      return false;
    }
  }
  return builtin_link_command_atoms() != nullptr;
}

unsigned char first_char(const PackedSwitchAtom& atom) {
  return static_cast<unsigned char>(kBuiltinSwitchAtomNames[atom.name]);
}

// Whether an atom of the sorted ATOMS names TEXT.  Empty names sort first;
// the others are looked up among those with TEXT's first character.
bool any_atom_names(const char* text, const PackedSwitchAtom* begin, const PackedSwitchAtom* end) {
  for (; begin != end && begin->length == 0; ++begin) {
    if (begin->starred || text[0] == '\0') return true;
  }
  const auto c = static_cast<unsigned char>(text[0]);
  const PackedSwitchAtom* at = std::lower_bound(
      begin, end, c,
      [](const PackedSwitchAtom& atom, unsigned char v) { return first_char(atom) < v; });
  for (; at != end && first_char(*at) == c; ++at) {
    if (switch_text_matches(text, switch_atom_name(*at), at->starred)) return true;
  }
  return false;
}

// The same marking as validating every built-in spec in turn, switch by
// switch: a known switch is validated when any atom names it.
void validate_by_builtin_union() {
  const PackedSwitchAtom* begin = kBuiltinSwitchAtoms + kAllBuiltinSwitchAtoms.first;
  const PackedSwitchAtom* end = begin + kAllBuiltinSwitchAtoms.count;
  for (CommandSwitch& sw : command_line().switches) {
    if (sw.known && !sw.validated && any_atom_names(sw.text, begin, end)) sw.validated = true;
  }
}

}  // namespace

const char* validate_spec_switches(const char* p, bool user_spec, bool braced) {
  MarkValidated sink{user_spec};
  SwitchAtomScanner<const MarkValidated> scanner(sink);
  return scanner.scan_atoms(p, braced);
}

void validate_switches_in_spec(const char* spec, bool user_spec) {
  MarkValidated sink{user_spec};
  SwitchAtomScanner<const MarkValidated> scanner(sink);
  scanner.scan_spec(spec);
}

void validate_switches_in_all_specs(bool use_builtin_atoms) {
  if (use_builtin_atoms && all_specs_builtin()) {
    validate_by_builtin_union();
    return;
  }
  const std::deque<CompilerEntry>& compilers = compilers_table();
  for (std::size_t i = 0; i < compilers.size(); ++i) {
    const CompilerEntry& entry = compilers[i];
    // Entries past the built-in ones come from specs files.
    const bool builtin = use_builtin_atoms && i < kBuiltinCompilerCount;
    validate_text(entry.spec, builtin ? &kBuiltinCompilerAtoms[2 * i] : nullptr, false);
    if (entry.cpp_spec != nullptr) {
      validate_text(entry.cpp_spec, builtin ? &kBuiltinCompilerAtoms[2 * i + 1] : nullptr, false);
    }
  }
  for (NamedSpec* spec = first_named_spec(); spec != nullptr; spec = spec->next) {
    validate_text(spec->text(), use_builtin_atoms ? builtin_switch_atoms(*spec) : nullptr,
                  spec->user);
  }
  validate_text(link_command_spec(), use_builtin_atoms ? builtin_link_command_atoms() : nullptr,
                false);
}

}  // namespace vorn
